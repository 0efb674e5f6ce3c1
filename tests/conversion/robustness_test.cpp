// Bad input and failing machines: seeded random spectrum files through READSC, and a sweep that
// fails each system call of a whole conversion in turn. Nothing may crash, write past the point
// arrays, report twice or lose an output file that was already complete.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "conversion/batch_driver.h"
#include "spectrum_run.h"
#include "support/fake_platform.h"

namespace {

using spctools::SpcFileSpec;
using spctools::SpcFormat;
using spectrumtest::runReadsc;
using spectrumtest::UNTOUCHED;

int reports(const std::string& err) {
  int count = 0;
  for (std::size_t at = 0; (at = err.find("run-time error ", at)) != std::string::npos; ++at)
    ++count;
  return count;
}

double pick(std::mt19937& random, std::initializer_list<double> values) {
  std::uniform_int_distribution<std::size_t> index(0, values.size() - 1);
  return *(values.begin() + index(random));
}

SpcFileSpec randomSpec(std::mt19937& random) {
  std::uniform_int_distribution<int> byte(0, 255), small(0, 3), count(0, 300);
  std::uniform_real_distribution<double> x(-5000, 5000);
  const double inf = std::numeric_limits<double>::infinity();
  SpcFileSpec spec;
  spec.format = small(random) == 0 ? SpcFormat::OLD : SpcFormat::NEW;
  spec.flags = small(random) == 0 ? static_cast<std::uint8_t>(byte(random)) : small(random) & 1;
  if (small(random) == 0) spec.version = static_cast<std::uint8_t>(byte(random));
  spec.exponent = small(random) == 0 ? byte(random) * 9 - 1000 : byte(random) - 128;
  spec.firstX = small(random) == 0 ? pick(random, {0.0, inf, -inf, NAN, 1e300, -3e38}) : x(random);
  spec.lastX = small(random) == 0 ? pick(random, {spec.firstX, inf, 1e-300, 4e38}) : x(random);
  int n = count(random);
  for (int i = 0; i < n; ++i) spec.values.push_back(byte(random) * 1000003.0 - 128e6);
  if (small(random) == 0)
    spec.pointCount = pick(random, {0, 1, -1, 2147483647, -2147483648.0, 1e9});
  if (small(random) == 0) spec.trailingBytes = count(random);
  if (small(random) == 0) spec.truncateAt = static_cast<std::size_t>(count(random) * 3);
  return spec;
}

TEST(Robustness, RandomSpectrumFilesEndCleanlyAndStayInsideTheArrays) {
  std::mt19937 random(20261211);
  std::uniform_real_distribution<double> bound(-6000, 6000);
  std::uniform_int_distribution<int> capacity(1, 400), noise(0, 700), byte(0, 255);
  int kept = 0, refused = 0, reported = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string bytes;
    if (round % 5 == 4) {
      bytes.resize(noise(random));
      for (char& c : bytes) c = static_cast<char>(byte(random));
    } else {
      bytes = spctools::encodeSpcFile(randomSpec(random));
    }
    std::int32_t NMAX = capacity(random);
    auto run = runReadsc(bytes, bound(random), bound(random), NMAX, "\n");
    SCOPED_TRACE("round " + std::to_string(round));
    EXPECT_EQ(run.nextX, UNTOUCHED);  // nothing stored past what READSC returned or NMAX
    kept += !run.outcome.ended && run.NPTS > 0;
    refused += run.outcome.ended && run.outcome.exitCode == 0;
    reported += run.outcome.ended && run.outcome.exitCode == 1;
    if (run.outcome.ended) {
      EXPECT_TRUE(run.outcome.exitCode == 0 || run.outcome.exitCode == 1);
      EXPECT_EQ(reports(run.err), run.outcome.exitCode);
    } else {
      EXPECT_GE(run.NPTS, 0);
      EXPECT_LE(run.NPTS, NMAX);
      EXPECT_EQ(run.err, "");
    }
  }
  // The sample reaches every way out, not one of them only.
  EXPECT_GT(kept, 300);
  EXPECT_GT(refused, 300);
  EXPECT_GT(reported, 300);
}

// A two-file conversion on the in-memory machine, failing the call numbered `failAt` (0: none).
struct Conversion {
  testsupport::FakeMachine machine;
  testsupport::RunOutcome outcome;
};

Conversion convertFailingAt(std::size_t failAt, platform::Failure failure) {
  SpcFileSpec spec;
  spec.firstX = 0;
  spec.lastX = 10;
  for (int k = 0; k <= 10; ++k) spec.values.push_back(k * 1000);
  Conversion conversion;
  auto& machine = conversion.machine;
  machine.files["convert.dat"] = {"2\r\na.spc\r\nb.spc\r\nout\r\n0.\r\n10.\r\n"};
  machine.files["a.spc"] = {spctools::encodeSpcFile(spec)};
  machine.files["b.spc"] = {spctools::encodeSpcFile(spec)};
  machine.files["out/b.prn"] = {std::string(300, '#')};
  machine.folders = {"out"};
  std::size_t calls = 0;
  machine.failWith = [&](const std::string&, const std::string&) {
    return ++calls == failAt ? failure : platform::Failure::NONE;
  };
  testsupport::FakePlatform fake(machine);
  conversion.outcome = testsupport::runUntilEnd([] { conversion::convert(); });
  return conversion;
}

TEST(Robustness, AFailureAtAnyCallEndsWithOneReportAndKeepsFinishedFiles) {
  Conversion clean = convertFailingAt(0, platform::Failure::NONE);
  ASSERT_EQ(clean.outcome.exitCode, 0);
  const std::string finished = clean.machine.files["out/a.prn"].bytes;
  const auto& calls = clean.machine.calls;
  const std::size_t closedA =
      std::find(calls.begin(), calls.end(), "closeFile(out/a.prn)") - calls.begin() + 1;
  ASSERT_LT(closedA, calls.size());
  ASSERT_GT(calls.size(), 20u);

  for (platform::Failure failure :
       {platform::Failure::ACCESS_DENIED, platform::Failure::DISK_FULL, platform::Failure::OTHER}) {
    for (std::size_t failAt = 1; failAt <= calls.size(); ++failAt) {
      Conversion run = convertFailingAt(failAt, failure);
      SCOPED_TRACE("failing call " + std::to_string(failAt) + ": " + calls[failAt - 1]);
      ASSERT_TRUE(run.outcome.ended);
      EXPECT_TRUE(run.outcome.exitCode == 0 || run.outcome.exitCode == 1);
      EXPECT_LE(reports(run.machine.standardError), 1);
      if (run.outcome.exitCode == 1) {
        EXPECT_EQ(reports(run.machine.standardError), 1);
      }
      if (failAt > closedA) {
        EXPECT_EQ(run.machine.files["out/a.prn"].bytes, finished);
      }
    }
  }
}

}  // namespace
