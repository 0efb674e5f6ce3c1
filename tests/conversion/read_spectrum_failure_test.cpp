// READSC's refusals and failures: the console messages with their pause and stop, the reports of
// files that end inside their header, the capacity checks and every floating-point failure.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

#include "spectrum_run.h"
#include "textio/termination.h"

namespace {

using spctools::SpcFileSpec;
using spctools::SpcFormat;
using spectrumtest::runReadsc;
using spectrumtest::SpectrumRun;
using spectrumtest::UNTOUCHED;
using testsupport::visible;

const std::string PAUSE_PROMPT =
    "Pause - Please enter a blank line (to continue) or a DOS command.\r\n";

void expectEnd(const SpectrumRun& run, int exitCode, const std::string& out, const std::string& err,
               const std::string& what) {
  EXPECT_TRUE(run.outcome.ended) << what;
  EXPECT_EQ(run.outcome.exitCode, exitCode) << what;
  EXPECT_EQ(visible(run.out), visible(out)) << what;
  EXPECT_EQ(visible(run.err), visible(err)) << what;
  // Nothing is stored beyond the capacity, whatever ended the run.
  EXPECT_EQ(run.nextX, UNTOUCHED) << what;
}

SpcFileSpec tenSteps(SpcFormat format) {
  SpcFileSpec spec;
  spec.format = format;
  spec.firstX = 0.0;
  spec.lastX = 10.0;
  spec.values = spctools::rampValues(11, 1, 1);
  return spec;
}

TEST(ReadSpectrumRefusal, UnsupportedFlagsPauseThenStopWhateverTheVersion) {
  for (std::uint8_t flags : {0x02, 0x04, 0x80, 0xFF}) {
    for (std::uint8_t version : {0x4B, 0x4C, 0x4D}) {
      SpcFileSpec spec = tenSteps(SpcFormat::NEW);
      spec.flags = flags;
      spec.version = version;
      SpectrumRun run = runReadsc(spec, 0, 10, 100, "\r\n");
      expectEnd(run, 0,
                "This file format is not supported\r\n" + PAUSE_PROMPT +
                    "\r\nProgram terminating\r\n\r\n",
                "", "flags " + std::to_string(flags));
    }
  }
}

TEST(ReadSpectrumRefusal, MostSignificantByteFirstStopsWithoutPause) {
  SpcFileSpec spec = tenSteps(SpcFormat::NEW);
  spec.version = 0x4C;
  spec.flags = 0x79;  // only bits that are not looked at
  SpectrumRun run = runReadsc(spec, 0, 10);
  expectEnd(run, 0,
            "new format(GRAMS) with MSB first\r\n"
            "this format is not presently supported in this program\r\n"
            "execution is terminating\r\n"
            "Hu-Oh &#&$!#^*\r\n\r\n",
            "", "msb");
}

TEST(ReadSpectrumRefusal, FileEndingInsideTheHeaderIsReported) {
  const std::string report = "\r\nrun-time error F6501: READ(spec.spc)\r\n- " +
                             std::string(textio::ioErrorDescription(6501)) + "\r\n";
  for (SpcFormat format : {SpcFormat::OLD, SpcFormat::NEW}) {
    for (std::size_t size : {0, 1, 2, 255, 543}) {
      if (format == SpcFormat::OLD && size == 543) continue;
      SpcFileSpec spec = tenSteps(format);
      spec.truncateAt = size;
      expectEnd(runReadsc(spec, 0, 10), 1, "", report, "size " + std::to_string(size));
    }
  }
}

TEST(ReadSpectrumRefusal, ConsoleDevicesCannotBeReadAsSpectra) {
  // CON and USER name standard output, ERR standard error: neither can be read.
  for (const char* name : {"CON", "con.spc", "ERR", "USER"}) {
    testsupport::FakeMachine machine;
    testsupport::FakePlatform fake(machine);
    textio::FixedText<50> path(name);
    double X[4], Y[4], DX = 0, SPARE1 = 0, SPARE2 = 0;
    std::int32_t NPTS = -1;
    testsupport::RunOutcome outcome = testsupport::runUntilEnd(
        [&] { conversion::READSC(path.view(), 0, 10, 4, X, Y, DX, NPTS, SPARE1, SPARE2); });
    std::string device = std::string(name).substr(0, std::string(name).find('.'));
    EXPECT_TRUE(outcome.ended) << name;
    EXPECT_EQ(outcome.exitCode, 1) << name;
    EXPECT_EQ(visible(machine.standardError),
              visible("\r\nrun-time error F6500: READ(" + device + ")\r\n- " +
                      std::string(textio::ioErrorDescription(6500)) + "\r\n"))
        << name;
  }
}

std::string capacityMessage(const std::string& arraySize, const std::string& requiredSize) {
  return "\r\n\r\nError in READSC --- Data requested exceeds array size\r\n"
         "Array size = " +
         arraySize + "\r\nRequired size = " + requiredSize + "\r\nProgram Terminated\r\n\r\n";
}

TEST(ReadSpectrumRefusal, CapacityIsCheckedBeforeReadingAndWhileStoring) {
  for (SpcFormat format : {SpcFormat::OLD, SpcFormat::NEW}) {
    // The window 0..10 needs 11 samples.
    SpectrumRun fits = runReadsc(tenSteps(format), 0, 10, 11);
    EXPECT_EQ(fits.NPTS, 11);
    expectEnd(runReadsc(tenSteps(format), 0, 10, 10), 0, capacityMessage("      10", "      11"),
              "", "one too many");
    // A window outside the file still counts the gap.
    expectEnd(runReadsc(tenSteps(format), 30, 40, 20), 0, capacityMessage("      20", "      21"),
              "", "gap");
  }

  // Near a million a single holds sixteenths, so the first two samples of a 1/32 step both
  // round to 1e6 and fall inside a window of width zero that the check counted as one sample.
  SpcFileSpec crowded;
  crowded.format = SpcFormat::OLD;
  crowded.firstX = 1e6;
  crowded.lastX = 1e6 + 0.3125;
  crowded.values = spctools::rampValues(11, 1, 1);
  SpectrumRun two = runReadsc(crowded, 1e6, 1e6, 2);
  ASSERT_EQ(two.NPTS, 2);
  EXPECT_EQ(two.X[1], 1e6);
  expectEnd(runReadsc(crowded, 1e6, 1e6, 1), 0, capacityMessage("       1", "       2"), "",
            "crowded");

  // A count at the top of the 32-bit range (the point count less one wraps to 2^31 - 1) shows
  // as asterisks rather than passing the check by wrapping.
  SpcFileSpec dense = tenSteps(SpcFormat::NEW);
  dense.lastX = 0x1p30;
  dense.pointCount = -2147483648.0;
  expectEnd(runReadsc(dense, 0, 0x1p30, 100), 0, capacityMessage("     100", "********"), "",
            "asterisks");
}

TEST(ReadSpectrumRefusal, FloatingPointFailuresEndTheRunWithTheirReport) {
  const std::string INVALID = "M6101: MATH\r\n- floating-point error: invalid";
  const std::string DIVIDE = "M6103: MATH\r\n- floating-point error: divide by zero";
  const std::string OVERFLOW = "M6104: MATH\r\n- floating-point error: overflow";
  const std::string POWER = "M6203: MATH\r\n- **: OVERFLOW error";
  const double INF = std::numeric_limits<double>::infinity();
  const double NAN_VALUE = std::numeric_limits<double>::quiet_NaN();

  struct Case {
    const char* what;
    SpcFormat format;
    double pointCount, firstX, lastX;
    std::int32_t exponent;
    std::vector<double> values;
    double X1, X2;
    const std::string& report;
  };
  const Case cases[] = {
      {"one point", SpcFormat::NEW, 1, 0, 10, 32, {1}, 0, 10, DIVIDE},
      {"one point, equal x", SpcFormat::NEW, 1, 5, 5, 32, {1}, 0, 10, INVALID},
      {"old one point", SpcFormat::OLD, 1, 0, 10, 32, {1}, 0, 10, DIVIDE},
      {"equal x, window on it", SpcFormat::NEW, 11, 5, 5, 32, {1}, 0, 10, INVALID},
      {"equal x, window beside", SpcFormat::OLD, 11, 5, 5, 32, {1}, 6, 10, DIVIDE},
      {"infinite first x", SpcFormat::NEW, 11, INF, 10, 32, {1}, 0, 10, INVALID},
      {"old infinite last x", SpcFormat::OLD, 11, 0, -INF, 32, {1}, 0, 10, INVALID},
      {"NaN last x", SpcFormat::NEW, 11, 0, NAN_VALUE, 32, {1}, 0, 10, INVALID},
      {"old NaN point count", SpcFormat::OLD, NAN_VALUE, 0, 10, 32, {1}, 0, 10, INVALID},
      {"x beyond single", SpcFormat::NEW, 11, 0, 1e300, 32, {1}, 0, 10, OVERFLOW},
      {"old step beyond single", SpcFormat::OLD, 2, -3e38, 3e38, 32, {1}, 0, 10, OVERFLOW},
      {"old scale beyond single", SpcFormat::OLD, 11, 0, 10, 32 + 128, {1}, 0, 10, OVERFLOW},
      {"old power beyond double", SpcFormat::OLD, 11, 0, 10, 32 + 1024, {1}, 0, 10, POWER},
      {"old product beyond single", SpcFormat::OLD, 11, 0, 10, 32 + 127, {1, 2}, 0, 10, OVERFLOW},
      {"gap beyond 32 bits", SpcFormat::NEW, 11, 0, 10, 32, {1}, 3e9, 4e9, INVALID},
      {"bound beyond single", SpcFormat::NEW, 11, 0, 10, 32, {1}, 1e39, 0, OVERFLOW},
  };
  for (const Case& c : cases) {
    SpcFileSpec spec;
    spec.format = c.format;
    spec.pointCount = c.pointCount;
    spec.firstX = c.firstX;
    spec.lastX = c.lastX;
    spec.exponent = c.exponent;
    spec.values = c.values;
    expectEnd(runReadsc(spec, c.X1, c.X2, 100), 1, "", "\r\nrun-time error " + c.report + "\r\n",
              c.what);
  }

  // A product beyond single precision outside the window is never formed.
  SpcFileSpec skipped = tenSteps(SpcFormat::OLD);
  skipped.exponent = 32 + 127;
  skipped.values = {2, 2, 1, 1};
  skipped.pointCount = 11;
  SpectrumRun run = runReadsc(skipped, 2, 3);
  ASSERT_EQ(run.NPTS, 2);
  EXPECT_EQ(run.Y[0], 0x1p127);

  // The spare values are only handed on: even a signalling NaN among them ends no run.
  SpcFileSpec spare = tenSteps(SpcFormat::NEW);
  spare.spare = {1.0f, std::bit_cast<float>(0x7F800001u)};
  SpectrumRun spared = runReadsc(spare, 0, 10);
  EXPECT_EQ(spared.NPTS, 11);
  EXPECT_EQ(spared.SPARE1, 1.0);
  EXPECT_TRUE(std::isnan(spared.SPARE2));
}

}  // namespace
