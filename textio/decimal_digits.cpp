// The decimal form of a double: its exact leading digits, rounded to the 17-digit intermediate,
// and the digit rounding that the field layouts apply to it.
#include <bit>
#include <cstdint>
#include <cstring>

#include "textio/decimal_form.h"
#include "textio/real_field.h"

namespace textio {
namespace {

// Enough 32-bit limbs for the largest product met: a 53-bit significand times 10^342 (the
// smallest subnormal scaled to 18 digits) has fewer than 1200 bits.
constexpr int BIG_LIMBS = 40;

struct BigNumber {
  std::uint32_t limb[BIG_LIMBS];  // least significant first
  int size;
};

void multiplySmall(BigNumber& n, std::uint32_t factor) {
  std::uint64_t carry = 0;
  for (int j = 0; j < n.size; ++j) {
    std::uint64_t product = std::uint64_t{n.limb[j]} * factor + carry;
    n.limb[j] = static_cast<std::uint32_t>(product);
    carry = product >> 32;
  }
  if (carry != 0) n.limb[n.size++] = static_cast<std::uint32_t>(carry);
}

void divideSmall(BigNumber& n, std::uint32_t divisor) {
  std::uint64_t remainder = 0;
  for (int j = n.size - 1; j >= 0; --j) {
    std::uint64_t current = (remainder << 32) | n.limb[j];
    n.limb[j] = static_cast<std::uint32_t>(current / divisor);
    remainder = current % divisor;
  }
  while (n.size > 0 && n.limb[n.size - 1] == 0) --n.size;
}

void shiftLeft(BigNumber& n, int bits) {
  int words = bits / 32;
  int rest = bits % 32;
  n.limb[n.size] = 0;
  for (int j = n.size; j >= 0; --j) {
    std::uint32_t high = n.limb[j] << rest;
    std::uint32_t low = (rest != 0 && j > 0) ? n.limb[j - 1] >> (32 - rest) : 0;
    n.limb[j + words] = high | low;
  }
  for (int j = 0; j < words; ++j) n.limb[j] = 0;
  n.size += words + 1;
  while (n.size > 0 && n.limb[n.size - 1] == 0) --n.size;
}

void shiftRight(BigNumber& n, int bits) {
  int words = bits / 32;
  int rest = bits % 32;
  if (words >= n.size) {
    n.size = 0;
    return;
  }
  int newSize = n.size - words;
  for (int j = 0; j < newSize; ++j) {
    std::uint32_t low = n.limb[j + words] >> rest;
    std::uint32_t high =
        (rest != 0 && j + words + 1 < n.size) ? n.limb[j + words + 1] << (32 - rest) : 0;
    n.limb[j] = low | high;
  }
  n.size = newSize;
  while (n.size > 0 && n.limb[n.size - 1] == 0) --n.size;
}

/// Writes the eight decimal digits of value < 10^8 as two independent halves of four.
void writeEightDigits(char* out, std::uint32_t value) {
  std::uint32_t high = value / 10000;
  std::uint32_t low = value % 10000;
  std::memcpy(out, DIGIT_PAIRS + 2 * (high / 100), 2);
  std::memcpy(out + 2, DIGIT_PAIRS + 2 * (high % 100), 2);
  std::memcpy(out + 4, DIGIT_PAIRS + 2 * (low / 100), 2);
  std::memcpy(out + 6, DIGIT_PAIRS + 2 * (low % 100), 2);
}

void setMarker(DecimalDigits& result, const char* marker) {
  result.finite = false;
  result.length = static_cast<int>(std::strlen(marker));
  std::memcpy(result.digits, marker, result.length);
}

}  // namespace

// Multiplications come before divisions, and successive floors of divisions equal the floor of
// their product.
std::uint64_t scaleExactly(std::uint64_t m, int e, int q) {
  BigNumber n{};
  n.limb[0] = static_cast<std::uint32_t>(m);
  n.limb[1] = static_cast<std::uint32_t>(m >> 32);
  n.size = n.limb[1] != 0 ? 2 : 1;
  for (; q >= 9; q -= 9) multiplySmall(n, 1000000000U);
  if (q > 0) multiplySmall(n, static_cast<std::uint32_t>(POW10[q]));
  if (e > 0) shiftLeft(n, e);
  for (; q <= -9; q += 9) divideSmall(n, 1000000000U);
  if (q < 0) divideSmall(n, static_cast<std::uint32_t>(POW10[-q]));
  if (e < 0) shiftRight(n, -e);
  std::uint64_t result = n.size > 0 ? n.limb[0] : 0;
  if (n.size > 1) result |= std::uint64_t{n.limb[1]} << 32;
  return result;
}

DecimalDigits toDecimalDigits(double value) {
  DecimalDigits result{};
  result.finite = true;
  std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
  bool sign = (bits >> 63) != 0;
  std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
  constexpr std::uint64_t QUIET_BIT = std::uint64_t{1} << 51;

  if (((bits >> 52) & 0x7FF) == 0x7FF) {
    if (fraction == 0) {
      setMarker(result, "1#INF");
    } else if ((fraction & QUIET_BIT) == 0) {
      setMarker(result, "1#SNAN");
    } else if (sign && fraction == QUIET_BIT) {
      setMarker(result, "1#IND");  // the default NaN that invalid operations produce
    } else {
      setMarker(result, "1#QNAN");
    }
    return result;
  }
  DecimalIntermediate intermediate = toDecimalIntermediate(value);
  if (intermediate.digits == 0) {
    result.digits[0] = '0';
    result.length = 1;
    return result;
  }
  result.negative = sign;
  result.pointPosition = intermediate.pointPosition;

  // The intermediate has exactly 17 digits: one, then two runs of eight.
  std::uint64_t upper = intermediate.digits / POW10[8];
  result.digits[0] = static_cast<char>('0' + upper / POW10[8]);
  writeEightDigits(result.digits + 1, static_cast<std::uint32_t>(upper % POW10[8]));
  writeEightDigits(result.digits + 9, static_cast<std::uint32_t>(intermediate.digits % POW10[8]));
  int length = MAX_DECIMAL_DIGITS;
  while (result.digits[length - 1] == '0') --length;
  result.length = length;
  return result;
}

bool roundDecimalDigits(DecimalDigits& digits, int n) {
  if (!digits.finite) return false;
  if (n < 0) {
    digits.length = 0;
    digits.negative = false;
    return false;
  }
  if (n >= digits.length) return false;
  if (digits.digits[n] < '5') {
    digits.length = n;
    bool allZeros = true;
    for (int j = 0; j < n; ++j) allZeros = allZeros && digits.digits[j] == '0';
    if (allZeros) digits.negative = false;
    return false;
  }
  if (n == 0) {
    // The point position stays: the fixed-point layout counts the new digit itself.
    digits.digits[0] = '1';
    digits.length = 1;
    return true;
  }
  digits.length = n;
  for (int j = n - 1; j >= 0; --j) {
    if (digits.digits[j] != '9') {
      ++digits.digits[j];
      return false;
    }
    digits.digits[j] = '0';
  }
  digits.digits[0] = '1';
  digits.digits[n] = '0';
  digits.length = n + 1;
  ++digits.pointPosition;
  return true;
}

}  // namespace textio
