// Fuzz target: a whole batch run in process, the input being convert.dat, on the in-memory
// machine with two small spectrum files (one of each header generation) and an output folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "conversion/batch_driver.h"
#include "support/fake_platform.h"
#include "tools/lib/spc_writer.h"

namespace {

std::string spectrum(spctools::SpcFormat format, double firstX, double lastX) {
  spctools::SpcFileSpec spec;
  spec.format = format;
  spec.firstX = firstX;
  spec.lastX = lastX;
  spec.values = spctools::sineValues(16, 30000, 1.5);
  return spctools::encodeSpcFile(spec);
}

// Reports counted by the lines they begin; a file name inside one never holds a line end.
int reports(const std::string& err) {
  constexpr std::string_view START = "run-time error ";
  int count = err.starts_with(START) ? 1 : 0;
  for (std::size_t at = 0; (at = err.find("\nrun-time error ", at)) != std::string::npos; ++at)
    ++count;
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string NEW_FILE = spectrum(spctools::SpcFormat::NEW, 400, 4000);
  static const std::string OLD_FILE = spectrum(spctools::SpcFormat::OLD, 1500, -20);

  testsupport::FakeMachine machine;
  machine.files["convert.dat"] = {std::string(reinterpret_cast<const char*>(data), size)};
  machine.files["a.spc"] = {NEW_FILE};
  machine.files["in/b.spc"] = {OLD_FILE};
  machine.folders = {"in", "out"};
  machine.arguments = {"a.spc"};  // for the first blank name an open meets
  machine.standardInput = "\n";
  testsupport::FakePlatform fake(machine);
  conversion::resetDriverForTesting();
  testsupport::RunOutcome outcome = testsupport::runUntilEnd([] { conversion::convert(); });

  // Every run ends, with the stop (0) or with exactly one report (1).
  if (!outcome.ended) std::abort();
  if (outcome.exitCode != 0 && outcome.exitCode != 1) std::abort();
  if (reports(machine.standardError) != outcome.exitCode) std::abort();
  // The inputs are never written to.
  if (machine.files["a.spc"].bytes != NEW_FILE || machine.files["in/b.spc"].bytes != OLD_FILE)
    std::abort();
  return 0;
}
