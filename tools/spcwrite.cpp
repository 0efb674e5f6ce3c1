// spcwrite: writes a spectrum file of either header generation from command-line options, for
// tests, benchmarks and the demo. Run without arguments for the list of options.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/lib/spc_writer.h"

namespace {

constexpr const char* USAGE =
    "usage: spcwrite OUT.spc [options]\n"
    "  --format new|old        header generation (new)\n"
    "  --flags BYTE            flags byte, e.g. 0x01 (0x00)\n"
    "  --version BYTE          version byte (0x4B new, 0x4D old)\n"
    "  --exponent N            y exponent; y = raw * 2^(N-32) (32)\n"
    "  --points N              point count in the header (the number of values)\n"
    "  --first X, --last X     x of the first and of the last value (0 and 1)\n"
    "  --spare A,B,...         the header's first spare values\n"
    "  --y16                   16-bit values (sets flags bit 0)\n"
    "  --width 16|32|single    how values are stored (from flags bit 0)\n"
    "  --ys V,V,...            the raw values\n"
    "  --ramp START,STEP       values START, START+STEP, ... (--points of them)\n"
    "  --sine AMPLITUDE[,PERIODS]  whole-number sine wave (--points values)\n"
    "  --trailing N            N bytes of log text after the values\n"
    "  --truncate N            cut the file after N bytes\n";

[[noreturn]] void fail(const std::string& message) {
  std::fprintf(stderr, "spcwrite: %s\n%s", message.c_str(), USAGE);
  std::exit(2);
}

double number(const std::string& text) {
  char* end = nullptr;
  double value = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0') fail("not a number: " + text);
  return value;
}

unsigned long whole(const std::string& text, unsigned long limit) {
  char* end = nullptr;
  unsigned long value = std::strtoul(text.c_str(), &end, 0);
  if (text.empty() || *end != '\0' || value > limit) fail("not a whole number in range: " + text);
  return value;
}

std::vector<double> numberList(const std::string& text) {
  std::vector<double> values;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    values.push_back(number(text.substr(start, comma - start)));
    start = comma + 1;
  }
  return values;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argv[1][0] == '-') fail("no output file");
  std::string output = argv[1];
  spctools::SpcFileSpec spec;
  std::vector<double> ramp, sine;

  for (int k = 2; k < argc; ++k) {
    std::string option = argv[k];
    if (option == "--y16") {
      spec.flags |= 0x01;
      continue;
    }
    if (k + 1 >= argc) fail("missing value after " + option);
    std::string value = argv[++k];
    if (option == "--format") {
      if (value == "new")
        spec.format = spctools::SpcFormat::NEW;
      else if (value == "old")
        spec.format = spctools::SpcFormat::OLD;
      else
        fail("unknown format: " + value);
    } else if (option == "--flags") {
      // Keeps a --y16 given before it.
      spec.flags = static_cast<std::uint8_t>(spec.flags | whole(value, 0xFF));
    } else if (option == "--version") {
      spec.version = static_cast<std::uint8_t>(whole(value, 0xFF));
    } else if (option == "--exponent") {
      spec.exponent = static_cast<std::int32_t>(number(value));
    } else if (option == "--points") {
      spec.pointCount = number(value);
    } else if (option == "--first") {
      spec.firstX = number(value);
    } else if (option == "--last") {
      spec.lastX = number(value);
    } else if (option == "--spare") {
      for (double v : numberList(value)) spec.spare.push_back(static_cast<float>(v));
    } else if (option == "--width") {
      if (value == "16")
        spec.width = spctools::ValueWidth::INT16;
      else if (value == "32")
        spec.width = spctools::ValueWidth::INT32;
      else if (value == "single")
        spec.width = spctools::ValueWidth::SINGLE;
      else
        fail("unknown width: " + value);
    } else if (option == "--ys") {
      spec.values = numberList(value);
    } else if (option == "--ramp") {
      ramp = numberList(value);
      if (ramp.size() != 2) fail("--ramp takes START,STEP");
    } else if (option == "--sine") {
      sine = numberList(value);
      if (sine.size() > 2) fail("--sine takes AMPLITUDE[,PERIODS]");
    } else if (option == "--trailing") {
      spec.trailingBytes = whole(value, 1UL << 30);
    } else if (option == "--truncate") {
      spec.truncateAt = whole(value, 1UL << 30);
    } else {
      fail("unknown option: " + option);
    }
  }

  if (!ramp.empty() || !sine.empty()) {
    if (!spec.pointCount || *spec.pointCount < 0 || *spec.pointCount > 1e8)
      fail("--ramp and --sine need --points between 0 and 100000000");
    auto count = static_cast<std::size_t>(*spec.pointCount);
    spec.values = !ramp.empty()
                      ? spctools::rampValues(count, ramp[0], ramp[1])
                      : spctools::sineValues(count, sine[0], sine.size() > 1 ? sine[1] : 1.0);
  }
  if (!spctools::writeSpcFile(output, spec)) {
    std::fprintf(stderr, "spcwrite: cannot write %s\n", output.c_str());
    return 1;
  }
  return 0;
}
