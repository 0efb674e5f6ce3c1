// Fuzz target: a layout string through the parser and, when it parses, the write statement with
// values of the kinds its fields ask for, into a memory sink. Input: layout, NUL, value choices.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string_view>
#include <vector>

#include "fuzz/layout_fields.h"
#include "support/fake_platform.h"
#include "textio/formatted_write.h"

namespace {

using textio::LayoutItemKind;
using textio::WriteValue;

constexpr int MAX_VALUES = 12;

constexpr double INF = std::numeric_limits<double>::infinity();
constexpr double NOT_A_NUMBER = std::numeric_limits<double>::quiet_NaN();
// Ordinary values, values at a rounding edge, and the extremes of the double range.
const double REALS[] = {0.0,        -0.0, 1.0,      -1.5,        0.05,     123456.789,
                        0.99999999, 5e-5, -9.99995, 1e-300,      4.9e-324, 1.7976931348623157e308,
                        -1e17,      INF,  -INF,     NOT_A_NUMBER};
const std::int32_t INTEGERS[] = {0, 1, -1, 7, -42, 99999999, INT32_MAX, INT32_MIN};
const std::string_view TEXTS[] = {"", "x", "Input file: C:\\spectra\\run1.spc",
                                  "  blanks around  "};

template <typename T, std::size_t N>
const T& pick(const T (&table)[N], unsigned char choice) {
  return table[choice % N];
}

struct Records {
  std::size_t count = 0;
};

void takeRecord(void* context, std::string_view text) {
  if (text.size() > textio::MAX_RECORD_LENGTH) std::abort();
  ++static_cast<Records*>(context)->count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::size_t nul = input.find('\0');
  std::string_view layout = input.substr(0, nul);
  std::string_view choices = nul == std::string_view::npos ? "" : input.substr(nul + 1);

  static textio::RecordLayout parsed;
  textio::LayoutCheck check = textio::tryParseLayout(layout, parsed);
  if (!check.ok) {
    if (check.problem == nullptr || check.column > layout.size()) std::abort();
    return 0;
  }
  fuzzsupport::checkParsed(parsed);

  std::uint64_t wanted =
      choices.empty() ? 2 : static_cast<unsigned char>(choices[0]) % (MAX_VALUES + 1);
  int count = static_cast<int>(
      std::min<std::uint64_t>({wanted, MAX_VALUES, fuzzsupport::fieldsAvailable(parsed)}));
  if (fuzzsupport::passWork(parsed) * static_cast<std::uint64_t>(count + 2) >
      fuzzsupport::MAX_WALK_WORK)
    return 0;

  LayoutItemKind kinds[MAX_VALUES];
  fuzzsupport::fieldKinds(parsed, layout, kinds, count);
  std::vector<WriteValue> values;
  for (int i = 0; i < count; ++i) {
    std::size_t at = static_cast<std::size_t>(i) + 1;
    unsigned char choice = at < choices.size() ? static_cast<unsigned char>(choices[at]) : i;
    switch (kinds[i]) {
      case LayoutItemKind::TEXT_FIELD:
        values.emplace_back(pick(TEXTS, choice));
        break;
      case LayoutItemKind::INTEGER_FIELD:
        values.emplace_back(pick(INTEGERS, choice));
        break;
      default:
        values.emplace_back(pick(REALS, choice));
        break;
    }
  }

  // A write into memory never ends the run; the fake machine would show it if it did.
  testsupport::FakeMachine machine;
  testsupport::FakePlatform fake(machine);
  Records records;
  testsupport::RunOutcome outcome = testsupport::runUntilEnd([&] {
    textio::formattedWriteTo({takeRecord, &records}, layout, values.data(), values.size());
  });
  if (outcome.ended || records.count == 0) std::abort();
  return 0;
}
