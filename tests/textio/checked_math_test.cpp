// The checked floating-point operations: a report exactly where IEEE 754 raises invalid
// operation, division by zero or overflow, and silent results everywhere else.
#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "support/fake_platform.h"
#include "textio/checked_math.h"

namespace {

using testsupport::FakeMachine;
using testsupport::FakePlatform;
using testsupport::runUntilEnd;
using testsupport::visible;
using namespace textio;

constexpr double INF = std::numeric_limits<double>::infinity();
const double QUIET = std::numeric_limits<double>::quiet_NaN();
const double SIGNALLING = std::bit_cast<double>(std::uint64_t{0x7FF0000000000001});
const float SIGNALLING_SINGLE = std::bit_cast<float>(std::uint32_t{0x7F800001});

const std::string INVALID = "M6101: MATH\r\n- floating-point error: invalid";
const std::string DIVIDE = "M6103: MATH\r\n- floating-point error: divide by zero";
const std::string OVERFLOW = "M6104: MATH\r\n- floating-point error: overflow";
const std::string POWER = "M6203: MATH\r\n- **: OVERFLOW error";

struct Case {
  const char* what;
  std::function<double()> operation;
  std::string report;  // empty: no report, the result must be `expected`
  double expected = 0.0;
};

void check(const Case& c) {
  FakeMachine machine;
  FakePlatform fake(machine);
  double result = 0.0;
  auto outcome = runUntilEnd([&] { result = c.operation(); });
  if (c.report.empty()) {
    EXPECT_FALSE(outcome.ended) << c.what << visible(machine.standardError);
    if (std::isnan(c.expected))
      EXPECT_TRUE(std::isnan(result)) << c.what;
    else
      EXPECT_EQ(std::bit_cast<std::uint64_t>(result), std::bit_cast<std::uint64_t>(c.expected))
          << c.what << " gave " << result;
  } else {
    EXPECT_EQ(outcome.exitCode, 1) << c.what;
    EXPECT_EQ(visible(machine.standardError), visible("\r\nrun-time error " + c.report + "\r\n"))
        << c.what;
  }
}

TEST(CheckedMath, ArithmeticReportsWhereTheHardwareWouldTrap) {
  const Case cases[] = {
      {"1/0", [] { return checkedDivide(1.0, 0.0); }, DIVIDE},
      {"-1/-0", [] { return checkedDivide(-1.0, -0.0); }, DIVIDE},
      {"0/0", [] { return checkedDivide(0.0, 0.0); }, INVALID},
      {"inf/inf", [] { return checkedDivide(INF, INF); }, INVALID},
      {"inf/0", [] { return checkedDivide(INF, 0.0); }, "", INF},
      {"1/inf", [] { return checkedDivide(1.0, INF); }, "", 0.0},
      {"max/0.5", [] { return checkedDivide(DBL_MAX, 0.5); }, OVERFLOW},
      {"qnan/0", [] { return checkedDivide(QUIET, 0.0); }, "", QUIET},
      {"snan/1", [] { return checkedDivide(SIGNALLING, 1.0); }, INVALID},
      {"0*inf", [] { return checkedMultiply(0.0, -INF); }, INVALID},
      {"max*2", [] { return checkedMultiply(DBL_MAX, 2.0); }, OVERFLOW},
      {"inf*2", [] { return checkedMultiply(INF, 2.0); }, "", INF},
      {"tiny*tiny", [] { return checkedMultiply(1e-300, 1e-300); }, "", 0.0},
      {"1*qnan", [] { return checkedMultiply(1.0, QUIET); }, "", QUIET},
      {"1*snan", [] { return checkedMultiply(1.0, SIGNALLING); }, INVALID},
      {"inf+-inf", [] { return checkedAdd(INF, -INF); }, INVALID},
      {"max+max", [] { return checkedAdd(DBL_MAX, DBL_MAX); }, OVERFLOW},
      {"-inf+1", [] { return checkedAdd(-INF, 1.0); }, "", -INF},
      {"inf-inf", [] { return checkedSubtract(INF, INF); }, INVALID},
      {"-max-max", [] { return checkedSubtract(-DBL_MAX, DBL_MAX); }, OVERFLOW},
      {"1-inf", [] { return checkedSubtract(1.0, INF); }, "", -INF},
  };
  for (const Case& c : cases) check(c);
}

TEST(CheckedMath, ConversionsReportOverflowAndInvalidOnly) {
  const Case cases[] = {
      {"largest single", [] { return double(checkedNarrow(0x1.fffffefffffffp+127)); }, "",
       double(FLT_MAX)},
      {"rounds to 2^128", [] { return double(checkedNarrow(0x1.ffffffp+127)); }, OVERFLOW},
      {"-1e39", [] { return double(checkedNarrow(-1e39)); }, OVERFLOW},
      {"inf narrows", [] { return double(checkedNarrow(-INF)); }, "", -INF},
      {"qnan narrows", [] { return double(checkedNarrow(QUIET)); }, "", QUIET},
      {"snan narrows", [] { return double(checkedNarrow(SIGNALLING)); }, INVALID},
      {"underflow to 0", [] { return double(checkedNarrow(0x1p-150)); }, "", 0.0},
      {"denormal", [] { return double(checkedNarrow(0x1p-149)); }, "", 0x1p-149},
      {"snan widens", [] { return checkedWiden(SIGNALLING_SINGLE); }, INVALID},
      {"inf widens", [] { return checkedWiden(-std::numeric_limits<float>::infinity()); }, "",
       -INF},
      {"top of int32", [] { return double(checkedTruncate(2147483647.9)); }, "", 2147483647.0},
      {"2^31", [] { return double(checkedTruncate(2147483648.0)); }, INVALID},
      {"bottom of int32", [] { return double(checkedTruncate(-2147483648.9)); }, "", -2147483648.0},
      {"below int32", [] { return double(checkedTruncate(-2147483649.0)); }, INVALID},
      {"nan to int", [] { return double(checkedTruncate(QUIET)); }, INVALID},
      {"toward zero", [] { return double(checkedTruncate(-7.9)); }, "", -7.0},
  };
  for (const Case& c : cases) check(c);
}

TEST(CheckedMath, ComparisonsWithNaNAndPowersOfTwo) {
  const Case cases[] = {
      {"min", [] { return checkedMin(2.0, -3.0); }, "", -3.0},
      {"max", [] { return checkedMax(2.0, -INF); }, "", 2.0},
      {"min nan", [] { return checkedMin(1.0, QUIET); }, INVALID},
      {"max nan", [] { return checkedMax(QUIET, 1.0); }, INVALID},
      {"<= nan", [] { return double(checkedLessEqual(QUIET, QUIET)); }, INVALID},
      {"<= equal", [] { return double(checkedLessEqual(1.0, 1.0)); }, "", 1.0},
      {"< equal", [] { return double(checkedLess(1.0, 1.0)); }, "", 0.0},
      {"2^1023", [] { return checkedPowerOfTwo(1023); }, "", 0x1p1023},
      {"2^1024", [] { return checkedPowerOfTwo(1024); }, POWER},
      {"2^-1074", [] { return checkedPowerOfTwo(-1074); }, "", 0x1p-1074},
      {"2^-1075", [] { return checkedPowerOfTwo(-1075); }, "", 0.0},
      {"2^-32800", [] { return checkedPowerOfTwo(-32800); }, "", 0.0},
  };
  for (const Case& c : cases) check(c);
}

}  // namespace
