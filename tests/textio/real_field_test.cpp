// Tests of the decimal form of doubles and of the F and E field texts, with a slow string-based
// renderer built on glibc's exact decimal expansion as the reference for a large random sample.
#include <gtest/gtest.h>

#include <algorithm>
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

struct DigitsCase {
  const char* name;
  double value;
  bool negative;
  int pointPosition;
  const char* digits;
};

TEST(DecimalDigits, ExactLeadingDigitsRoundedOnTheEighteenth) {
  const DigitsCase cases[] = {
      {"0", 0.0, false, 0, "0"},
      {"-0", -0.0, false, 0, "0"},
      {"-0.00004", -0.00004, true, -4, "40000000000000003"},
      {"-0.00005", -0.00005, true, -4, "50000000000000002"},
      {"9.99995", 9.99995, false, 1, "99999500000000001"},
      {"1.0E-20, 18th digit 5", 1.0E-20, false, -20, "99999999999999995"},
      {"1.00105", 1.00105, false, 1, "100105"},
      // The exact value 2.98023223876953125E-08 ends on its 18th digit: away from zero, not even.
      {"2^-25", std::ldexp(1.0, -25), false, -7, "29802322387695313"},
      {"2^-24", std::ldexp(1.0, -24), false, -7, "59604644775390625"},
      {"-3 * 2^-27", -3 * std::ldexp(1.0, -27), true, -7, "22351741790771484"},
      // Doubles just below a power of ten whose 17 leading digits are nines.
      {"1e-14 all nines", 1e-14, false, -13, "1"},
      {"1e98 all nines", 1e98, false, 99, "1"},
      {"1e-305 all nines", 1e-305, false, -304, "1"},
      {"smallest subnormal", std::numeric_limits<double>::denorm_min(), false, -323,
       "49406564584124654"},
      {"largest subnormal", fromBits(0x000FFFFFFFFFFFFF), false, -307, "22250738585072009"},
      {"largest", std::numeric_limits<double>::max(), false, 309, "17976931348623157"},
      {"2^63", std::ldexp(1.0, 63), false, 19, "92233720368547758"},
      {"1e17", 1e17, false, 18, "1"},
      {"123456789012345678", 123456789012345678.0, false, 18, "12345678901234568"},
      {"1e-15", 1e-15, false, -14, "10000000000000001"},
  };
  for (const DigitsCase& c : cases) {
    SCOPED_TRACE(c.name);
    DecimalDigits digits = toDecimalDigits(c.value);
    EXPECT_TRUE(digits.finite);
    EXPECT_EQ(digits.negative, c.negative);
    EXPECT_EQ(digits.pointPosition, c.pointPosition);
    EXPECT_EQ(digitText(digits), c.digits);
  }
}

TEST(DecimalDigits, MarkersOfNonFiniteValues) {
  const struct {
    std::uint64_t bits;
    const char* marker;
  } cases[] = {
      {0x7FF0000000000000, "1#INF"},  {0xFFF0000000000000, "1#INF"},
      {0x7FF0000000000001, "1#SNAN"}, {0xFFF4000000000000, "1#SNAN"},
      {0xFFF8000000000000, "1#IND"},  {0x7FF8000000000000, "1#QNAN"},
      {0xFFF8000000000001, "1#QNAN"}, {0x7FFFFFFFFFFFFFFF, "1#QNAN"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.marker);
    DecimalDigits digits = toDecimalDigits(fromBits(c.bits));
    EXPECT_FALSE(digits.finite);
    EXPECT_FALSE(digits.negative);
    EXPECT_EQ(digitText(digits), c.marker);
  }
}

DecimalDigits makeDigits(const char* text, int pointPosition, bool negative) {
  DecimalDigits digits{};
  digits.finite = true;
  digits.negative = negative;
  digits.pointPosition = pointPosition;
  digits.length = static_cast<int>(std::string(text).size());
  std::copy_n(text, digits.length, digits.digits);
  return digits;
}

TEST(DecimalDigits, RoundingHalfAwayFromZeroWithCarry) {
  const struct {
    const char* digits;
    bool negative;
    int n;
    const char* rounded;
    int pointPosition;  // starts at 3
    bool stillNegative;
    bool carry;
  } cases[] = {
      {"12345", true, 5, "12345", 3, true, false},  // nothing to cut
      {"12345", true, 9, "12345", 3, true, false},
      {"12345", true, 4, "1235", 3, true, false},  // 5 rounds up
      {"12344", true, 4, "1234", 3, true, false},
      {"4", true, 0, "", 3, false, false},  // nothing left: no sign
      {"5", true, 0, "1", 3, true, true},   // new digit, point unchanged
      {"19", false, 1, "2", 3, false, false},
      {"99951", false, 3, "1000", 4, false, true},  // carry through nines
      {"99999999999999999", false, 16, "10000000000000000", 4, false, true},
      {"0", false, 0, "", 3, false, false},
      {"123", true, -1, "", 3, false, false},  // negative counts round to nothing
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.digits) + " to " + std::to_string(c.n));
    DecimalDigits digits = makeDigits(c.digits, 3, c.negative);
    EXPECT_EQ(roundDecimalDigits(digits, c.n), c.carry);
    EXPECT_EQ(digitText(digits), c.rounded);
    EXPECT_EQ(digits.pointPosition, c.pointPosition);
    EXPECT_EQ(digits.negative, c.stillNegative);
  }
}

TEST(RealField, IntegerPartLongerThanTheShownDigits) {
  std::string expected = std::string(89, ' ') + "1797693134862316" + std::string(293, '0') + ".0";
  EXPECT_EQ(fixedField(std::numeric_limits<double>::max(), 400, 1, 0), expected);
}

// ---------------------------------------------------------------------------------------------
// Slow reference: glibc prints a double's exact decimal expansion; the rules then apply step by
// step on strings.

struct Reference {
  bool finite;
  bool negative;
  long long point;
  std::string digits;
};

/// At least the first 18 exact significant digits of magnitude > 0, and its point position.
std::string exactLeadingDigits(double magnitude, long long& point) {
  static char text[1200];
  auto expand = [&](int precision) {
    std::snprintf(text, sizeof text, "%.*e", precision, magnitude);
    std::string digits(1, text[0]);
    const char* c = text + 2;
    while (*c != 'e') digits += *c++;
    point = std::atoll(c + 1) + 1;
    return digits;
  };
  std::string digits = expand(40);
  // Rounding at the 41st digit reaches the 18th only through zeros; then take every digit (no
  // double has more than 767 significant ones).
  if (digits.find_first_not_of('0', 18) == std::string::npos) digits = expand(1100);
  return digits;
}

Reference referenceDigits(double value) {
  std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
  std::uint64_t fraction = bits & 0xFFFFFFFFFFFFF;
  if ((bits & 0x7FF0000000000000) == 0x7FF0000000000000) {
    const char* marker = fraction == 0                       ? "1#INF"
                         : (fraction & 0x8000000000000) == 0 ? "1#SNAN"
                         : bits == 0xFFF8000000000000        ? "1#IND"
                                                             : "1#QNAN";
    return {false, false, 0, marker};
  }
  if (value == 0) return {true, false, 0, "0"};
  long long point = 0;
  std::string all = exactLeadingDigits(std::fabs(value), point);
  std::string kept = all.substr(0, 17);
  if (all[17] >= '5') {
    int j = 16;
    while (j >= 0 && kept[j] == '9') kept[j--] = '0';
    if (j < 0) {
      kept = "1";
      ++point;
    } else {
      ++kept[j];
    }
  }
  while (kept.size() > 1 && kept.back() == '0') kept.pop_back();
  return {true, std::signbit(value), point, kept};
}

bool referenceRound(Reference& r, long long n) {
  if (n < 0) {
    r.digits.clear();
    r.negative = false;
    return false;
  }
  if (n >= static_cast<long long>(r.digits.size())) return false;
  char next = r.digits[n];
  r.digits.resize(n);
  if (next <= '4') {
    if (r.digits.find_first_not_of('0') == std::string::npos) r.negative = false;
    return false;
  }
  if (n == 0) {
    r.digits = "1";
    return true;
  }
  long long j = n - 1;
  while (j >= 0 && r.digits[j] == '9') r.digits[j--] = '0';
  if (j >= 0) {
    ++r.digits[j];
    return false;
  }
  r.digits = "1" + std::string(n, '0');
  ++r.point;
  return true;
}

std::string referenceMantissa(const Reference& r, long long i, long long t, long long d,
                              bool plusSign) {
  std::string text = r.negative ? "-" : plusSign ? "+" : "";
  if (i == 0 && t == 0) text += '0';
  std::size_t next = 0;
  auto nextDigit = [&] { return next < r.digits.size() ? r.digits[next++] : '0'; };
  for (long long j = 0; j < i; ++j) text += nextDigit();
  text += '.';
  long long after = 0;
  for (; after < -i && after < d; ++after) text += '0';
  for (; after < d; ++after) text += nextDigit();
  return text;
}

std::string referenceWidth(const std::string& text, int w) {
  if (static_cast<int>(text.size()) > w) return std::string(w, '*');
  return std::string(w - text.size(), ' ') + text;
}

std::string referenceMarker(const Reference& r, int w) {
  std::string text = r.digits.substr(0, w);
  return text + std::string(w - text.size(), '.');
}

std::string referenceFixed(Reference r, int w, int d, int k, bool plusSign) {
  if (!r.finite) return referenceMarker(r, w);
  bool zero = r.digits == "0";
  long long i = zero ? 0 : r.point + k;
  long long t = zero ? d : i + d;
  if (i < -d) {
    std::string text = d == 0 ? "0." : "." + std::string(d, '0');
    return referenceWidth(plusSign ? "+" + text : text, w);
  }
  if (referenceRound(r, std::min(16LL, t))) {
    ++i;
    ++t;
  }
  return referenceWidth(referenceMantissa(r, i, t, d, plusSign), w);
}

std::string referenceExponent(Reference r, int w, int d, int e, int k, bool plusSign) {
  if (!r.finite) return referenceMarker(r, w);
  bool zero = r.digits == "0";
  long long i = k;
  long long t = k > 0 ? d + 1 : d + k;
  referenceRound(r, std::min(16LL, t));
  long long x = zero ? 0 : r.point - k;
  std::string sign = x < 0 ? "-" : "+";
  std::string magnitude = std::to_string(x < 0 ? -x : x);
  std::string exponent;
  if (e == 2 && magnitude.size() <= 2) {
    exponent = "E" + sign + std::string(2 - magnitude.size(), '0') + magnitude;
  } else if (e == 2 && magnitude.size() == 3) {
    exponent = sign + magnitude;
  } else if (e != 2 && static_cast<long long>(magnitude.size()) <= e) {
    exponent = "E" + sign + std::string(e - magnitude.size(), '0') + magnitude;
  } else {
    return std::string(w, '*');
  }
  return referenceWidth(referenceMantissa(r, i, t, d, plusSign) + exponent, w);
}

std::string hexBits(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%016llx",
                static_cast<unsigned long long>(std::bit_cast<std::uint64_t>(value)));
  return text;
}

// ---------------------------------------------------------------------------------------------
// The sample: where fast digit generation and rounding are most likely to go wrong.

double nearestTo(const char* decimal) {
  return std::strtod(decimal, nullptr);
}

void addWithNeighbours(std::vector<double>& sample, double value, int ulps) {
  sample.push_back(value);
  double below = value;
  double above = value;
  for (int j = 0; j < ulps; ++j) {
    below = std::nextafter(below, -std::numeric_limits<double>::infinity());
    above = std::nextafter(above, std::numeric_limits<double>::infinity());
    sample.push_back(below);
    sample.push_back(above);
  }
}

std::vector<double> buildSample() {
  std::mt19937_64 random(0x5EED2024);
  std::vector<double> sample;
  char text[64];
  auto below = [&](std::uint64_t bound) { return random() % bound; };
  auto sign = [&] { return (random() & 1) != 0 ? -1.0 : 1.0; };

  // Any bit pattern: every exponent, NaNs included.
  for (int j = 0; j < 60000; ++j) sample.push_back(fromBits(random()));
  // Subnormals, with full and with short significands.
  for (int j = 0; j < 10000; ++j) {
    std::uint64_t fraction = random() & 0xFFFFFFFFFFFFF;
    if (j % 2 == 1) fraction >>= below(52);
    sample.push_back(sign() * fromBits(fraction));
  }
  // Half a unit of F10.4's last place either side, over the whole field and past its overflow.
  for (int j = 0; j < 25000; ++j) {
    std::uint64_t units = below(std::uint64_t{1} << below(40));
    std::snprintf(text, sizeof text, "%llu5e-5", static_cast<unsigned long long>(units));
    addWithNeighbours(sample, sign() * nearestTo(text), 2);
    std::snprintf(text, sizeof text, "%llue-4", static_cast<unsigned long long>(units));
    sample.push_back(sign() * nearestTo(text));
  }
  // Half a unit of E15.7's eighth digit, mostly at magnitudes of real data.
  for (int j = 0; j < 25000; ++j) {
    std::uint64_t mantissa = 10000000 + below(90000000);
    int exponent =
        j % 4 == 0 ? static_cast<int>(below(620)) - 320 : static_cast<int>(below(60)) - 35;
    std::snprintf(text, sizeof text, "%llu5e%d", static_cast<unsigned long long>(mantissa),
                  exponent);
    addWithNeighbours(sample, sign() * nearestTo(text), 2);
  }
  // Exact expansions of exactly 18 digits ending in 5: m * 2^-k with m * 5^k of 18 digits.
  for (int k = 1; k <= 25; ++k) {
    double power = std::pow(5.0, k);
    double low = std::ceil(1e17 / power);
    double high = std::min(1e18 / power, 9007199254740992.0);
    if (low >= high) continue;
    for (int j = 0; j < 400; ++j) {
      auto m =
          static_cast<std::uint64_t>(low + std::fmod(static_cast<double>(random()), high - low));
      m |= 1;
      if (static_cast<double>(m) >= high) m -= 2;
      addWithNeighbours(sample, sign() * std::ldexp(static_cast<double>(m), -k), 1);
    }
  }
  // Short exact binary fractions, ties of shorter and longer lengths among them.
  for (int j = 0; j < 20000; ++j) {
    double m = static_cast<double>((random() >> (11 + below(53))) | 1);
    sample.push_back(sign() * std::ldexp(m, -static_cast<int>(below(80))));
  }
  // Powers of ten and their halves: where the point position is guessed one too low or high.
  for (int p = -324; p <= 308; ++p) {
    std::snprintf(text, sizeof text, "1e%d", p);
    addWithNeighbours(sample, nearestTo(text), 3);
    std::snprintf(text, sizeof text, "5e%d", p);
    addWithNeighbours(sample, nearestTo(text), 1);
  }
  // Integers past 2^53 and values around 1e-15, where the exact arithmetic changes width.
  for (int j = 0; j < 10000; ++j) {
    sample.push_back(static_cast<double>(random() >> below(12)));
    sample.push_back(sign() *
                     std::pow(10.0, -17.0 + 5.0 * static_cast<double>(below(1000)) / 1000));
  }
  // Values like those of real spectra.
  std::uniform_real_distribution<double> decades(-3.0, 2.0);
  for (int j = 0; j < 20000; ++j) {
    sample.push_back(400.0 + j * 0.5 + 1e-6 * static_cast<double>(below(1000)));
    sample.push_back(sign() * std::pow(10.0, decades(random)));
  }
  return sample;
}

TEST(RealFieldReference, RandomSampleMatchesTheSlowRenderer) {
  std::vector<double> sample = buildSample();
  std::mt19937_64 random(0xF1E1D5);
  int failures = 0;
  auto check = [&](const std::string& actual, const std::string& expected, double value,
                   const std::string& field) {
    if (actual == expected) return;
    if (++failures <= 20) {
      ADD_FAILURE() << hexBits(value) << " " << field << ": got [" << actual << "], expected ["
                    << expected << "]";
    }
  };
  for (std::size_t j = 0; j < sample.size(); ++j) {
    double value = sample[j];
    Reference reference = referenceDigits(value);
    DecimalDigits digits = toDecimalDigits(value);
    std::string actualDigits = digitText(digits);
    if (digits.finite) {
      actualDigits += (digits.negative ? " - p" : " + p") + std::to_string(digits.pointPosition);
    }
    std::string expectedDigits = reference.digits;
    if (reference.finite) {
      expectedDigits += (reference.negative ? " - p" : " + p") + std::to_string(reference.point);
    }
    check(actualDigits, expectedDigits, value, "digits");
    check(fixedField(value, 10, 4, 0), referenceFixed(reference, 10, 4, 0, false), value, "F10.4");
    check(exponentField(value, 15, 7, 2, 1), referenceExponent(reference, 15, 7, 2, 1, false),
          value, "1PE15.7");
    check(exponentField(value, 15, 7, 2, 0), referenceExponent(reference, 15, 7, 2, 0, false),
          value, "0PE15.7");
    if (j % 8 != 0) continue;
    // Other widths, digit counts, exponent counts, scales and the plus sign.
    int w = 1 + static_cast<int>(random() % 45);
    int d = static_cast<int>(random() % 21);
    int e = static_cast<int>(random() % 5);
    int k = static_cast<int>(random() % (2 * d + 5)) - d - 2;
    bool plusSign = (random() & 1) != 0;
    std::string layout = "w" + std::to_string(w) + " d" + std::to_string(d) + " e" +
                         std::to_string(e) + " k" + std::to_string(k) + (plusSign ? " +" : "");
    check(fixedField(value, w, d, k % 8, plusSign),
          referenceFixed(reference, w, d, k % 8, plusSign), value, "F " + layout);
    check(exponentField(value, w, d, e, k, plusSign),
          referenceExponent(reference, w, d, e, k, plusSign), value, "E " + layout);
  }
  EXPECT_EQ(failures, 0) << "of " << sample.size() << " values";
}

}  // namespace
