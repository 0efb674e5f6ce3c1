// Fuzz target: READSC on a spectrum file of the in-memory machine. Input: one byte for NMAX, the
// two window bounds as little-endian singles, then the file's bytes.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "conversion/point_buffer.h"
#include "conversion/read_spectrum.h"
#include "support/fake_platform.h"
#include "textio/fixed_text.h"

namespace {

constexpr std::size_t PREFIX = 9;

float singleAt(const std::uint8_t* bytes) {
  std::uint32_t bits = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | std::uint32_t{bytes[3]} << 24;
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// NMAX from one byte: small capacities that a file easily overruns, a negative one, the full one.
std::int32_t capacityOf(std::uint8_t byte) {
  if (byte == 255) return conversion::MAX_POINTS;
  if (byte == 254) return -1;
  return byte;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < PREFIX) return 0;
  const std::int32_t NMAX = capacityOf(data[0]);
  const double X1 = singleAt(data + 1);
  const double X2 = singleAt(data + 5);

  // The NMAX elements handed over end where the static arrays end, so the address sanitizer
  // catches a store past them in the arrays' red zones.
  static double XSTORE[conversion::MAX_POINTS], YSTORE[conversion::MAX_POINTS];
  const std::int32_t used = NMAX > 0 ? NMAX : 0;
  double* X = XSTORE + (conversion::MAX_POINTS - used);
  double* Y = YSTORE + (conversion::MAX_POINTS - used);
  std::int32_t NPTS = -7;
  double DX = 0, SPARE1 = 0, SPARE2 = 0;

  testsupport::FakeMachine machine;
  machine.files["spec.spc"] = {
      std::string(reinterpret_cast<const char*>(data + PREFIX), size - PREFIX)};
  machine.standardInput = "\n";
  testsupport::FakePlatform fake(machine);
  textio::FixedText<50> name("spec.spc");
  testsupport::RunOutcome outcome = testsupport::runUntilEnd(
      [&] { conversion::READSC(name.view(), X1, X2, NMAX, X, Y, DX, NPTS, SPARE1, SPARE2); });

  if (outcome.ended) {
    // A refusal stops with 0, a failure reports with 1: one report exactly when the code is 1.
    bool reported = machine.standardError.find("run-time error ") != std::string::npos;
    if (outcome.exitCode != 0 && outcome.exitCode != 1) std::abort();
    if (reported != (outcome.exitCode == 1)) std::abort();
    return 0;
  }
  if (NPTS < 0 || NPTS > NMAX) std::abort();
  // Every kept x lies inside the window (the bounds as singles, in either order).
  const double low = std::fmin(static_cast<float>(X1), static_cast<float>(X2));
  const double high = std::fmax(static_cast<float>(X1), static_cast<float>(X2));
  for (std::int32_t i = 0; i < NPTS; ++i) {
    if (X[i] < low || X[i] > high) std::abort();
  }
  if (!machine.standardError.empty()) std::abort();
  return 0;
}
