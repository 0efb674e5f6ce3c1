// Fuzz target: the read statement with a layout, on a text file of the in-memory machine, with
// items of the kinds its fields ask for. Input: layout, NUL, the file's text.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/layout_fields.h"
#include "support/fake_platform.h"
#include "textio/control_read.h"
#include "textio/fixed_text.h"

namespace {

using textio::LayoutItemKind;

constexpr int MAX_ITEMS = 8;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::size_t nul = input.find('\0');
  if (nul == std::string_view::npos) return 0;
  std::string_view layout = input.substr(0, nul);
  std::string_view text = input.substr(nul + 1);

  static textio::RecordLayout parsed;
  if (!textio::tryParseLayout(layout, parsed).ok) return 0;
  int count =
      static_cast<int>(std::min<std::uint64_t>(MAX_ITEMS, fuzzsupport::fieldsAvailable(parsed)));
  if (fuzzsupport::passWork(parsed) * static_cast<std::uint64_t>(count + 2) >
      fuzzsupport::MAX_WALK_WORK)
    return 0;
  LayoutItemKind kinds[MAX_ITEMS];
  fuzzsupport::fieldKinds(parsed, layout, kinds, count);

  // Texts of a few lengths, each with a guard the read must leave alone; reals for F and E
  // fields. A read statement has no integer items, so the items stop at the first I field.
  static const std::size_t LENGTHS[] = {50, 1, 10};
  struct Text {
    char chars[64];
  };
  Text texts[MAX_ITEMS];
  double reals[MAX_ITEMS] = {};
  std::vector<textio::ReadItem> items;
  for (int i = 0; i < count && kinds[i] != LayoutItemKind::INTEGER_FIELD; ++i) {
    if (kinds[i] == LayoutItemKind::TEXT_FIELD) {
      std::fill(std::begin(texts[i].chars), std::end(texts[i].chars), '#');
      items.emplace_back(textio::TextItem{texts[i].chars, LENGTHS[i % 3]});
    } else {
      items.emplace_back(&reals[i]);
    }
  }

  testsupport::FakeMachine machine;
  machine.files["in.txt"] = {std::string(text)};
  testsupport::FakePlatform fake(machine);
  testsupport::RunOutcome outcome = testsupport::runUntilEnd([&] {
    textio::openChannel(10, "in.txt", "OLD");
    textio::formattedRead(10, layout, std::span<const textio::ReadItem>(items));
    textio::closeChannel(10);
  });
  // Running out of lines or meeting a bad number ends the run with one report.
  if (outcome.ended && (outcome.exitCode != 1 ||
                        machine.standardError.find("run-time error F") == std::string::npos))
    std::abort();
  for (int i = 0; i < static_cast<int>(items.size()); ++i) {
    if (kinds[i] != LayoutItemKind::TEXT_FIELD) continue;
    for (std::size_t k = LENGTHS[i % 3]; k < sizeof texts[i].chars; ++k)
      if (texts[i].chars[k] != '#') std::abort();
  }
  return 0;
}
