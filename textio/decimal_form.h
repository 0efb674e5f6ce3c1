// The 17-digit intermediate of a double as one integer, computed in line where the field layouts
// need it, and the powers of ten and two-digit texts that decimal texts are built from.
#pragma once

#include <bit>
#include <cstdint>

namespace textio {

/// POW10[q] is 10^q for 0 <= q <= 19, every power of ten below 2^64.
inline constexpr auto POW10 = [] {
  struct Table {
    std::uint64_t value[20];
    constexpr std::uint64_t operator[](std::int64_t q) const { return value[q]; }
  } table{};
  std::uint64_t power = 1;
  for (int q = 0; q < 20; ++q) {
    table.value[q] = power;
    power *= 10;
  }
  return table;
}();

/// "00" to "99" one after another: the two digits of n start at DIGIT_PAIRS + 2 * n.
inline constexpr char DIGIT_PAIRS[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

/// The 17-digit intermediate of a finite value's magnitude as one integer: the digits of
/// toDecimalDigits with the trailing zeros kept (10^16 <= digits < 10^17) and its point position;
/// digits and pointPosition 0 for zero.
struct DecimalIntermediate {
  std::uint64_t digits;
  int pointPosition;
};

/// m * 5^q stays below 2^128 for every significand m < 2^53 while q <= 32.
inline constexpr int FAST_MAX_SCALE = 32;

inline constexpr auto POW5 = [] {
  struct Table {
    unsigned __int128 value[FAST_MAX_SCALE + 1];
  } table{};
  unsigned __int128 power = 1;
  for (int q = 0; q <= FAST_MAX_SCALE; ++q) {
    table.value[q] = power;
    power *= 5;
  }
  return table;
}();

/// floor(m * 2^e * 10^q) by exact wide arithmetic, for results below 2^64: the scalings that do
/// not fit 128 bits, of values below about 1e-14 or from 1e18 up.
std::uint64_t scaleExactly(std::uint64_t m, int e, int q);

/// floor(m * 2^e * 10^q), in 128 bits where they suffice.
inline std::uint64_t scaleToEighteenDigits(std::uint64_t m, int e, int q) {
  if (q < 0 || q > FAST_MAX_SCALE) return scaleExactly(m, e, q);
  if (e >= 0) return (m << e) * POW10[q];
  unsigned __int128 product = m * POW5.value[q];  // times 2^q lies in the shift below
  int shift = -e - q;
  return static_cast<std::uint64_t>(shift >= 0 ? product >> shift : product << -shift);
}

inline DecimalIntermediate toDecimalIntermediate(double value) {
  std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
  int biased = static_cast<int>((bits >> 52) & 0x7FF);
  std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
  if (biased == 0 && fraction == 0) return {0, 0};

  std::uint64_t m = biased == 0 ? fraction : fraction | (std::uint64_t{1} << 52);
  int e = (biased == 0 ? 1 : biased) - 1075;
  // 2^(bits-1) <= |value| < 2^bits, so the point position is pointGuess or one more.
  int binaryLength = 64 - std::countl_zero(m) + e;
  int pointGuess = (((binaryLength - 1) * 78913) >> 18) + 1;  // floor((b-1) log10 2) + 1

  std::uint64_t scaled = scaleToEighteenDigits(m, e, 18 - pointGuess);
  int point = pointGuess;
  if (scaled >= POW10[18]) {
    scaled /= 10;
    ++point;
  }
  // Adding 5 carries into the 17th digit exactly when the 18th is 5 to 9.
  std::uint64_t kept = (scaled + 5) / 10;
  if (kept == POW10[17]) {
    kept = POW10[16];  // all nines: the single digit 1
    ++point;
  }
  return {kept, point};
}

}  // namespace textio
