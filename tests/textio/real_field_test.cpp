// Tests of the decimal form of doubles and of the F and E field texts, with a slow string-based
// renderer built on glibc's exact decimal expansion as the reference for a large random sample.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "textio/real_field.h"

namespace {

using textio::DecimalDigits;
using textio::renderExponent;
using textio::renderFixed;
using textio::roundDecimalDigits;
using textio::toDecimalDigits;

double fromBits(std::uint64_t bits) {
  return std::bit_cast<double>(bits);
}

std::string fixedField(double value, int w, int d, int k, bool plusSign = false) {
  std::string text(static_cast<std::size_t>(w), '?');
  renderFixed(text.data(), value, w, d, k, plusSign);
  return text;
}

std::string exponentField(double value, int w, int d, int e, int k, bool plusSign = false) {
  std::string text(static_cast<std::size_t>(w), '?');
  renderExponent(text.data(), value, w, d, e, k, plusSign);
  return text;
}

std::string digitText(const DecimalDigits& digits) {
  return std::string(digits.digits, static_cast<std::size_t>(digits.length));
}

// ---------------------------------------------------------------------------------------------
// Fixed expectations

struct WorkedExample {
  const char* name;
  double value;
  const char* fixed;         // F10.4, scale 0
  const char* exponentOne;   // E15.7, scale 1
  const char* exponentZero;  // E15.7, scale 0
};

TEST(RealField, WorkedExamplesInAllThreeLayouts) {
  const WorkedExample examples[] = {
      {"0.5", 0.5, "     .5000", "  5.0000000E-01", "   .5000000E+00"},
      {"-0.5", -0.5, "    -.5000", " -5.0000000E-01", "  -.5000000E+00"},
      {"0", 0.0, "     .0000", "  0.0000000E+00", "   .0000000E+00"},
      {"-0", -0.0, "     .0000", "  0.0000000E+00", "   .0000000E+00"},
      {"1234.56789", 1234.56789, " 1234.5679", "  1.2345679E+03", "   .1234568E+04"},
      {"-1234.56789", -1234.56789, "-1234.5679", " -1.2345679E+03", "  -.1234568E+04"},
      {"-0.00004", -0.00004, "     .0000", " -4.0000000E-05", "  -.4000000E-04"},
      {"-0.00005", -0.00005, "    -.0001", " -5.0000000E-05", "  -.5000000E-04"},
      {"0.00035", 0.00035, "     .0004", "  3.5000000E-04", "   .3500000E-03"},
      {"1.00105", 1.00105, "    1.0011", "  1.0010500E+00", "   .1001050E+01"},
      {"1.00000015", 1.00000015, "    1.0000", "  1.0000002E+00", "   .1000000E+01"},
      {"9.99995", 9.99995, "   10.0000", "  9.9999500E+00", "   .9999950E+01"},
      {"99999.99995", 99999.99995, "99999.9999", "  1.0000000E+05", "   .1000000E+06"},
      {"99999.99996", 99999.99996, "**********", "  1.0000000E+05", "   .1000000E+06"},
      {"-9999.99996", -9999.99996, "**********", " -1.0000000E+04", "  -.1000000E+05"},
      {"123456.7", 123456.7, "**********", "  1.2345670E+05", "   .1234567E+06"},
      {"1.0E-20", 1.0E-20, "     .0000", "  1.0000000E-20", "   .1000000E-19"},
      {"6.02214076E+23", 6.02214076E+23, "**********", "  6.0221408E+23", "   .6022141E+24"},
      {"1.0E+100", 1.0E+100, "**********", "  1.0000000+100", "   .1000000+101"},
      {"largest", std::numeric_limits<double>::max(), "**********", "  1.7976931+308",
       "   .1797693+309"},
      {"smallest subnormal", std::numeric_limits<double>::denorm_min(), "     .0000",
       "  4.9406565-324", "   .4940656-323"},
      {"+inf", std::numeric_limits<double>::infinity(), "1#INF.....", "1#INF..........",
       "1#INF.........."},
      {"-inf", -std::numeric_limits<double>::infinity(), "1#INF.....", "1#INF..........",
       "1#INF.........."},
      {"quiet NaN", fromBits(0x7FF8000000000000), "1#QNAN....", "1#QNAN.........",
       "1#QNAN........."},
      {"indefinite NaN", fromBits(0xFFF8000000000000), "1#IND.....", "1#IND..........",
       "1#IND.........."},
  };
  for (const WorkedExample& example : examples) {
    SCOPED_TRACE(example.name);
    EXPECT_EQ(fixedField(example.value, 10, 4, 0), example.fixed);
    EXPECT_EQ(exponentField(example.value, 15, 7, 2, 1), example.exponentOne);
    EXPECT_EQ(exponentField(example.value, 15, 7, 2, 0), example.exponentZero);
  }
}

struct FieldCase {
  const char* name;
  double value;
  char kind;  // 'F' or 'E'
  int w, d, e, k;
  bool plusSign;
  const char* expected;
};

std::string render(const FieldCase& c) {
  return c.kind == 'F' ? fixedField(c.value, c.w, c.d, c.k, c.plusSign)
                       : exponentField(c.value, c.w, c.d, c.e, c.k, c.plusSign);
}

TEST(RealField, BoundariesSignsAndUnusualLayouts) {
  const FieldCase cases[] = {
      // Negative values that round to zero lose their sign; half a unit rounds away from zero.
      {"-0.00001", -0.00001, 'F', 10, 4, 2, 0, false, "     .0000"},
      {"-1e-300", -1e-300, 'F', 10, 4, 2, 0, false, "     .0000"},
      // The F10.4 overflow boundaries.
      {"-9999.99995", -9999.99995, 'F', 10, 4, 2, 0, false, "-9999.9999"},
      {"10000", 10000.0, 'F', 10, 4, 2, 0, false, "10000.0000"},
      {"-10000", -10000.0, 'F', 10, 4, 2, 0, false, "**********"},
      // Carries into a new leading digit, and three-digit exponents.
      {"9.99999996", 9.99999996, 'E', 15, 7, 2, 1, false, "  1.0000000E+01"},
      {"1e-100", 1e-100, 'E', 15, 7, 2, 1, false, "  1.0000000-100"},
      {"1e99", 1e99, 'E', 15, 7, 2, 1, false, "  1.0000000E+99"},
      {"1e-99", 1e-99, 'E', 15, 7, 2, 1, false, "  1.0000000E-99"},
      {"9.99999999e99", 9.99999999e99, 'E', 15, 7, 2, 1, false, "  1.0000000+100"},
      {"signalling NaN", fromBits(0x7FF0000000000001), 'E', 15, 7, 2, 1, false, "1#SNAN........."},
      {"negative quiet NaN", fromBits(0xFFF8000000000001), 'F', 10, 4, 2, 0, false, "1#QNAN...."},
      {"marker cut to width", std::numeric_limits<double>::infinity(), 'F', 3, 1, 2, 0, false,
       "1#I"},
      // d = 0: a lone zero before the point only when no digit at all is shown.
      {"F5.0 of 0.3", 0.3, 'F', 5, 0, 2, 0, false, "   0."},
      {"F5.0 of 0.5", 0.5, 'F', 5, 0, 2, 0, false, "   1."},
      {"F5.0 of -0.3", -0.3, 'F', 5, 0, 2, 0, false, "   0."},
      {"F5.0 of 1e-9", 1e-9, 'F', 5, 0, 2, 0, false, "   0."},
      {"F5.0 of 0", 0.0, 'F', 5, 0, 2, 0, false, "   0."},
      // Wide fields: never more than 16 significant digits, zeros beyond them.
      {"F60.40 of 1/3", 1.0 / 3.0, 'F', 60, 40, 2, 0, false,
       "                   .3333333333333333000000000000000000000000"},
      {"F30.2 of 1e20", 1e20, 'F', 30, 2, 2, 0, false, "      100000000000000000000.00"},
      {"E40.30E4", 2.5e-7, 'E', 40, 30, 4, 1, false, "  2.500000000000000000000000000000E-0007"},
      {"E12.3E1 exponent too wide", 1e10, 'E', 12, 3, 1, 1, false, "************"},
      {"E12.3E1", 1e9, 'E', 12, 3, 1, 1, false, "    1.000E+9"},
      {"E12.3E3 keeps the letter", 1e-100, 'E', 12, 3, 3, 1, false, "  1.000E-100"},
      {"E15.7 of 1e-300, default count", 1e-300, 'E', 15, 7, 2, 1, false, "  1.0000000-300"},
      // Scale settings: F multiplies by 10^k; E moves digits between mantissa and exponent.
      {"F10.4 scale 1", 1.5, 'F', 10, 4, 2, 1, false, "   15.0000"},
      {"F10.4 scale -2", 12.345, 'F', 10, 4, 2, -2, false, "     .1235"},
      {"F10.4 scale -6", 12.345, 'F', 10, 4, 2, -6, false, "     .0000"},
      {"E15.7 scale -2", 1234.5678, 'E', 15, 7, 2, -2, false, "   .0012346E+06"},
      {"E15.7 scale 2", 1234.5678, 'E', 15, 7, 2, 2, false, " 12.3456780E+02"},
      {"E15.7 scale -7", 0.6, 'E', 15, 7, 2, -7, false, "   .0000000E+07"},
      {"E15.7 scale -9", -1234.5, 'E', 15, 7, 2, -9, false, "   .0000000E+13"},
      {"huge scale", 1.0, 'F', 10, 4, 2, std::numeric_limits<int>::max(), false, "**********"},
      {"hugely negative scale", -1.0, 'E', 15, 7, 2, std::numeric_limits<int>::min(), false,
       "***************"},
      {"huge d", 1.0, 'F', 10, std::numeric_limits<int>::max(), 2, 0, false, "**********"},
      {"huge e", 1.0, 'E', 10, 3, std::numeric_limits<int>::max(), 1, false, "**********"},
      {"zero width", 1.0, 'F', 0, 4, 2, 0, false, ""},
      // The plus-sign setting.
      {"plus F", 0.5, 'F', 10, 4, 2, 0, true, "    +.5000"},
      {"plus E", 5.0, 'E', 15, 7, 2, 1, true, " +5.0000000E+00"},
      {"plus on negative", -5.0, 'E', 15, 7, 2, 1, true, " -5.0000000E+00"},
      {"plus F, 10000", 10000.0, 'F', 10, 4, 2, 0, true, "**********"},
  };
  for (const FieldCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(render(c), c.expected);
  }
}

TEST(RealField, IntegerPartLongerThanTheShownDigits) {
  std::string expected = std::string(89, ' ') + "1797693134862316" + std::string(293, '0') + ".0";
  EXPECT_EQ(fixedField(std::numeric_limits<double>::max(), 400, 1, 0), expected);
}

}  // namespace
