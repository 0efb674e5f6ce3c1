// Fixed-point (Fw.d) and exponent (Ew.dEe) fields: place the rounded digits of a value into a
// text of exactly w characters, or w asterisks when the text does not fit.
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "textio/decimal_tables.h"
#include "textio/real_field.h"

namespace textio {
namespace {

using Count = std::int64_t;  // widths, digit counts and scales combine without overflow

/// At most this many significant digits of a double are ever shown.
constexpr Count SHOWN_DIGITS = 16;

Count atLeastZero(Count n) {
  return n < 0 ? 0 : n;
}

Count atMost(Count n, Count limit) {
  return n > limit ? limit : n;
}

bool isFinite(double value) {
  return ((std::bit_cast<std::uint64_t>(value) >> 52) & 0x7FF) != 0x7FF;
}

/// The intermediate rounded to n significant digits, as roundDecimalDigits rounds its text but on
/// one integer: `count` digits (leading zeros included), n of them, or n + 1 after a carry into a
/// new leading digit (value 10^n then). Nothing is left for a negative n.
struct RoundedDigits {
  std::uint64_t value;
  Count count;
  bool carry;
};

/// n <= 17; the digits beyond what the intermediate holds are zeros, so they round nothing.
RoundedDigits roundIntermediate(std::uint64_t intermediate, Count n) {
  if (n < 0) return {0, 0, false};
  // Half a unit of the n-th digit carries into it exactly when the next digit is 5 or more.
  std::uint64_t unit = POW10[17 - n];
  std::uint64_t rounded = (intermediate + unit / 2) / unit;
  bool carry = rounded == POW10[n];
  return {rounded, n + (carry ? 1 : 0), carry};
}

/// The digits a field shows, taken from the right: `trailingZeros` zeros, then the digits of
/// `value`, then zeros for ever.
struct DigitStream {
  std::uint64_t value;
  Count trailingZeros;
};

/// The first `shown` digits of the rounded digits followed by zeros, as a stream.
DigitStream shownDigits(const RoundedDigits& rounded, Count shown) {
  if (shown >= rounded.count) return {rounded.value, shown - rounded.count};
  return {rounded.value / POW10[rounded.count - shown], 0};
}

/// Writes the next `count` digits of the stream backwards, ending at `end`; returns the start.
char* writeDigitsBackward(char* end, DigitStream& stream, Count count) {
  if (stream.trailingZeros != 0) {
    Count zeros = atMost(count, stream.trailingZeros);
    end -= zeros;
    std::memset(end, '0', static_cast<std::size_t>(zeros));
    stream.trailingZeros -= zeros;
    count -= zeros;
  }
  std::uint64_t value = stream.value;
  for (; count >= 2; count -= 2) {
    end -= 2;
    std::memcpy(end, DIGIT_PAIRS + 2 * (value % 100), 2);
    value /= 100;
  }
  if (count != 0) {
    *--end = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  stream.value = value;
  return end;
}

/// The sign, integer digits, point and fraction digits of a field, before its exponent.
struct Mantissa {
  char sign;  // 0 for none
  bool leadingZero;
  Count integerDigits;   // i: negative for zeros between the point and the first digit
  Count fractionDigits;  // d
  DigitStream digits;

  Count wholeDigits() const { return atLeastZero(integerDigits); }
  Count length() const {
    return (sign != 0 ? 1 : 0) + (leadingZero ? 1 : 0) + wholeDigits() + 1 + fractionDigits;
  }
};

/// A minus sign only survives the rounding with some digit other than zero left.
Mantissa makeMantissa(double value, const RoundedDigits& rounded, Count i, Count t, Count d,
                      bool plusSign) {
  char sign = std::signbit(value) && rounded.value != 0 ? '-' : (plusSign ? '+' : 0);
  // Of the i + d digit positions, the first -i after the point show zeros of their own.
  Count zerosAfterPoint = atMost(atLeastZero(-i), d);
  Count fromDigits = atLeastZero(i) + d - zerosAfterPoint;
  return {sign, i == 0 && t == 0, i, d, shownDigits(rounded, fromDigits)};
}

char* writeSignAndLeadingZero(char* end, const Mantissa& mantissa) {
  if (mantissa.leadingZero) *--end = '0';
  if (mantissa.sign != 0) *--end = mantissa.sign;
  return end;
}

/// Writes the mantissa backwards, ending at `end`; returns its start.
char* writeMantissaBackward(char* end, const Mantissa& mantissa) {
  DigitStream digits = mantissa.digits;
  end = writeDigitsBackward(end, digits, mantissa.fractionDigits);
  *--end = '.';
  end = writeDigitsBackward(end, digits, mantissa.wholeDigits());
  return writeSignAndLeadingZero(end, mantissa);
}

/// The exponent part of an exponent field: letter, sign and digits, padded with zeros.
struct Exponent {
  bool fits;
  bool letter;
  char sign;
  Count width;  // digits written
  std::uint64_t magnitude;

  Count length() const { return (letter ? 1 : 0) + 1 + width; }
};

Exponent makeExponent(Count x, int e) {
  Exponent result{};
  result.sign = x < 0 ? '-' : '+';
  result.magnitude = static_cast<std::uint64_t>(x < 0 ? -x : x);
  // |x| is a point position less an int scale: far below 10^19, the end of the table.
  int count = 1;
  while (result.magnitude >= POW10[count]) ++count;
  result.letter = true;
  result.width = e;
  if (e == 2 && count == 3) {
    // Three-digit exponents of the default count take the letter's place.
    result.letter = false;
    result.width = 3;
  }
  result.fits = count <= result.width;
  return result;
}

char* writeExponentBackward(char* end, const Exponent& exponent) {
  DigitStream digits{exponent.magnitude, 0};
  end = writeDigitsBackward(end, digits, exponent.width);
  *--end = exponent.sign;
  if (exponent.letter) *--end = 'E';
  return end;
}

// The short texts of ordinary fields are built in a small buffer with whole-word stores, some of
// which spill harmless characters to the left of what they write, then copied into the field.

/// At most this many digits on either side of the point, and of an exponent, make a short text.
constexpr Count SHORT_DIGITS = 8;
/// Room for a short text (at most 1 + 8 + 1 + 8 + 1 + 1 + 8 characters) and a spill.
constexpr Count SHORT_TEXT_ROOM = 48;

bool isShort(const Mantissa& mantissa, const Exponent* exponent) {
  return mantissa.digits.trailingZeros == 0 && mantissa.wholeDigits() <= SHORT_DIGITS &&
         mantissa.fractionDigits <= SHORT_DIGITS &&
         (exponent == nullptr || exponent->width <= SHORT_DIGITS);
}

/// The eight digits of value < 10^8 as characters, the first in the lowest byte: the two halves
/// of four digits, then their two pairs, then the two digits of each pair are split at once in
/// the lanes of one word.
std::uint64_t eightDigitCharacters(std::uint32_t value) {
  std::uint64_t fours = value / 10000 | std::uint64_t{value % 10000} << 32;
  // x / 100 as x * 10486 / 2^20, and y / 10 as y * 103 / 2^10: exact for x < 10^4 and y < 100.
  std::uint64_t hundreds = ((fours * 10486) >> 20) & 0x0000007F0000007F;
  std::uint64_t pairs = (fours - hundreds * 100) << 16 | hundreds;
  std::uint64_t tens = ((pairs * 103) >> 10) & 0x000F000F000F000F;
  std::uint64_t digits = (pairs - tens * 10) << 8 | tens;
  return digits | 0x3030303030303030;
}

/// Writes the eight digits of value < 10^8 at `out` (eight characters).
void writeEightDigits(char* out, std::uint64_t value) {
  static_assert(std::endian::native == std::endian::little, "the lowest byte is stored first");
  std::uint64_t characters = eightDigitCharacters(static_cast<std::uint32_t>(value));
  std::memcpy(out, &characters, 8);
}

/// `writeMantissaBackward` for a short mantissa, into a buffer with room for spills on the left.
char* writeShortMantissaBackward(char* end, const Mantissa& mantissa) {
  // Every shown digit is in the stream's value, below 10^16: its sixteen digits, zeros first.
  // Ordinary fields show at most eight.
  char digits[16];
  std::uint64_t value = mantissa.digits.value;
  if (value >= POW10[8]) {
    writeEightDigits(digits, value / POW10[8]);
  } else {
    std::memcpy(digits, "00000000", 8);
  }
  writeEightDigits(digits + 8, value % POW10[8]);
  Count fraction = mantissa.fractionDigits;
  std::memcpy(end - 8, digits + 8, 8);  // the fraction digits end the last eight
  end -= fraction + 1;
  std::memcpy(end - 8, digits + 8 - fraction, 8);  // the eight before them end at the point
  *end = '.';
  return writeSignAndLeadingZero(end - mantissa.wholeDigits(), mantissa);
}

/// The exponent digits of a short text: a pair at a time.
char* writeShortExponentBackward(char* end, const Exponent& exponent) {
  auto value = static_cast<std::uint32_t>(exponent.magnitude);
  char* start = end - exponent.width;
  while (end - start >= 2) {
    end -= 2;
    std::memcpy(end, DIGIT_PAIRS + 2 * (value % 100), 2);
    value /= 100;
  }
  if (end != start) *start = static_cast<char>('0' + value);
  *--start = exponent.sign;
  if (exponent.letter) *--start = 'E';
  return start;
}

/// Copies n <= 32 characters with a few overlapping word copies instead of a library call.
void copyShort(char* to, const char* from, Count n) {
  if (n >= 16) {
    std::memcpy(to, from, 16);
    std::memcpy(to + n - 16, from + n - 16, 16);
  } else if (n >= 8) {
    std::memcpy(to, from, 8);
    std::memcpy(to + n - 8, from + n - 8, 8);
  } else if (n >= 4) {
    std::memcpy(to, from, 4);
    std::memcpy(to + n - 4, from + n - 4, 4);
  } else {
    for (Count j = 0; j < n; ++j) to[j] = from[j];
  }
}

/// The blanks in front of a right-justified text; the few that fields of ordinary widths need
/// take two overlapping stores instead of a library call.
void fillBlanks(char* out, Count n) {
  constexpr char BLANKS[] = "        ";
  if (n > 16) {
    std::memset(out, ' ', static_cast<std::size_t>(n));
  } else if (n >= 8) {
    std::memcpy(out, BLANKS, 8);
    std::memcpy(out + n - 8, BLANKS, 8);
  } else if (n >= 4) {
    std::memcpy(out, BLANKS, 4);
    std::memcpy(out + n - 4, BLANKS, 4);
  } else if (n >= 2) {
    std::memcpy(out, BLANKS, 2);
    std::memcpy(out + n - 2, BLANKS, 2);
  } else if (n == 1) {
    *out = ' ';
  }
}

/// The field text: mantissa and exponent (none for a fixed-point field) right-justified in w
/// characters, or w asterisks when they do not fit.
void placeField(char* out, int w, const Mantissa& mantissa, const Exponent* exponent) {
  Count length = mantissa.length() + (exponent != nullptr ? exponent->length() : 0);
  if (length > w || (exponent != nullptr && !exponent->fits)) {
    std::memset(out, '*', static_cast<std::size_t>(w));
    return;
  }
  if (isShort(mantissa, exponent)) {
    char text[SHORT_TEXT_ROOM];
    char* end = text + SHORT_TEXT_ROOM;
    if (exponent != nullptr) end = writeShortExponentBackward(end, *exponent);
    writeShortMantissaBackward(end, mantissa);
    copyShort(out + (w - length), text + (SHORT_TEXT_ROOM - length), length);
  } else {
    char* end = out + w;
    if (exponent != nullptr) end = writeExponentBackward(end, *exponent);
    writeMantissaBackward(end, mantissa);
  }
  fillBlanks(out, w - length);
}

/// Non-finite values: the marker cut or padded with full stops to w characters, never a sign.
void writeMarker(char* out, double value, int w) {
  DecimalDigits digits = toDecimalDigits(value);
  int shown = digits.length < w ? digits.length : w;
  std::memcpy(out, digits.digits, static_cast<std::size_t>(shown));
  std::memset(out + shown, '.', static_cast<std::size_t>(w - shown));
}

}  // namespace

void renderFixed(char* out, double value, int w, int d, int k, bool plusSign) {
  if (w <= 0) return;
  if (!isFinite(value)) {
    writeMarker(out, value, w);
    return;
  }
  DecimalIntermediate form = toDecimalIntermediate(value);
  Count fraction = atLeastZero(d);
  Count i = 0;
  Count t = fraction;
  if (form.digits != 0) {
    i = Count{form.pointPosition} + k;
    t = i + fraction;
  }
  RoundedDigits rounded{0, 0, false};
  if (i < -fraction) {
    // Below one tenth of the last shown place: zeros, and no minus sign.
    i = 0;
    t = fraction;
  } else {
    rounded = roundIntermediate(form.digits, atMost(t, SHOWN_DIGITS));
    if (rounded.carry) {
      ++i;
      ++t;
    }
  }
  placeField(out, w, makeMantissa(value, rounded, i, t, fraction, plusSign), nullptr);
}

void renderExponent(char* out, double value, int w, int d, int e, int k, bool plusSign) {
  if (w <= 0) return;
  if (!isFinite(value)) {
    writeMarker(out, value, w);
    return;
  }
  DecimalIntermediate form = toDecimalIntermediate(value);
  Count fraction = atLeastZero(d);
  Count i = k;
  Count t = k > 0 ? fraction + 1 : fraction + k;
  Count n = atMost(t, SHOWN_DIGITS);
  RoundedDigits rounded = roundIntermediate(form.digits, n);
  // A carry only moves the point position, and not when no digit was kept: the mantissa keeps
  // its shape.
  Count point = Count{form.pointPosition} + (rounded.carry && n > 0 ? 1 : 0);
  Count x = form.digits == 0 ? 0 : point - k;
  Exponent exponent = makeExponent(x, e);
  placeField(out, w, makeMantissa(value, rounded, i, t, fraction, plusSign), &exponent);
}

}  // namespace textio
