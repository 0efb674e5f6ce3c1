// Powers of ten and the texts of all two-digit numbers, shared by the decimal form of doubles and
// the real-number field layouts that place its digits.
#pragma once

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

}  // namespace textio
