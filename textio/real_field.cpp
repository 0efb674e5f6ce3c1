// Fixed-point (Fw.d) and exponent (Ew.dEe) fields: place the rounded digits of a value into a
// text of exactly w characters, or w asterisks when the text does not fit.
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "textio/decimal_form.h"
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

void fillAsterisks(char* out, int w) {
  std::memset(out, '*', static_cast<std::size_t>(w));
}

/// Non-finite values: the marker cut or padded with full stops to w characters, never a sign.
void writeMarker(char* out, double value, int w) {
  DecimalDigits digits = toDecimalDigits(value);
  int shown = digits.length < w ? digits.length : w;
  std::memcpy(out, digits.digits, static_cast<std::size_t>(shown));
  std::memset(out + shown, '.', static_cast<std::size_t>(w - shown));
}

// ---------------------------------------------------------------------------------------------
// Any field: the rules step by step on the intermediate as one integer.

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

  Count length() const {
    return (sign != 0 ? 1 : 0) + (leadingZero ? 1 : 0) + atLeastZero(integerDigits) + 1 +
           fractionDigits;
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

/// Writes the mantissa backwards, ending at `end`; returns its start.
char* writeMantissaBackward(char* end, const Mantissa& mantissa) {
  DigitStream digits = mantissa.digits;
  end = writeDigitsBackward(end, digits, mantissa.fractionDigits);
  *--end = '.';
  end = writeDigitsBackward(end, digits, atLeastZero(mantissa.integerDigits));
  if (mantissa.leadingZero) *--end = '0';
  if (mantissa.sign != 0) *--end = mantissa.sign;
  return end;
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

/// The field text: mantissa and exponent (none for a fixed-point field) right-justified in w
/// characters, or w asterisks when they do not fit.
void placeField(char* out, int w, const Mantissa& mantissa, const Exponent* exponent) {
  Count length = mantissa.length() + (exponent != nullptr ? exponent->length() : 0);
  if (length > w || (exponent != nullptr && !exponent->fits)) {
    fillAsterisks(out, w);
    return;
  }
  char* end = out + w;
  if (exponent != nullptr) end = writeExponentBackward(end, *exponent);
  writeMantissaBackward(end, mantissa);
  fillBlanks(out, w - length);
}

void placeFixed(char* out, double value, const DecimalIntermediate& form, int w, int d, int k,
                bool plusSign) {
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

void placeExponent(char* out, double value, const DecimalIntermediate& form, int w, int d, int e,
                   int k, bool plusSign) {
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

// Kept apart from the common fields' short way.
[[gnu::noinline]] void renderAnyFixed(char* out, double value, int w, int d, int k, bool plusSign) {
  if (w <= 0) return;
  if (!isFinite(value)) {
    writeMarker(out, value, w);
    return;
  }
  placeFixed(out, value, toDecimalIntermediate(value), w, d, k, plusSign);
}

[[gnu::noinline]] void renderAnyExponent(char* out, double value, int w, int d, int e, int k,
                                         bool plusSign) {
  if (w <= 0) return;
  if (!isFinite(value)) {
    writeMarker(out, value, w);
    return;
  }
  placeExponent(out, value, toDecimalIntermediate(value), w, d, e, k, plusSign);
}

// ---------------------------------------------------------------------------------------------
// The fields of nearly every line written, F10.4 under scale 0 and E15.7 under scale 1 without
// the plus sign: the same rules with the counts known when compiled, each field's text built in
// place at fixed positions from its right end.

/// Writes exactly COUNT digits of value < 10^COUNT at `out`, zeros first.
template <int COUNT>
void writeDigits(char* out, std::uint32_t value) {
  if constexpr (COUNT % 2 == 1) {
    out[COUNT - 1] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
#pragma GCC unroll 8
  for (int j = COUNT - COUNT % 2 - 2; j >= 0; j -= 2) {
    std::memcpy(out + j, DIGIT_PAIRS + 2 * (value % 100), 2);
    value /= 100;
  }
}

/// Fw.d under scale 0: i = p, t = p + d, with p of at most w - d - 1 integer characters.
template <int W, int D>
void placeCommonFixed(char* out, const DecimalIntermediate& form, bool negative) {
  constexpr int ROOM = W - D - 1;  // characters before the point: sign and integer digits
  static_assert(D >= 1 && ROOM >= 1 && ROOM <= 9 && ROOM + D <= SHOWN_DIGITS);
  int i = 0;
  std::uint64_t rounded = 0;
  if (form.digits != 0 && form.pointPosition >= -D) {
    i = form.pointPosition;
    if (i > ROOM) {
      fillAsterisks(out, W);
      return;
    }
    int t = i + D;  // at most 16: no digit past the shown ones
    std::uint64_t unit = POW10[17 - t];
    rounded = (form.digits + unit / 2) / unit;
    if (rounded == POW10[t]) ++i;  // a new leading digit
  }
  // Values below one tenth of the last place, and those rounding to zero, show no sign.
  negative = negative && rounded != 0;
  int start = ROOM - (i > 0 ? i : 0) - (negative ? 1 : 0);
  if (start < 0) {
    fillAsterisks(out, W);
    return;
  }
  auto digits = static_cast<std::uint32_t>(rounded);  // below 10^9 here
  writeDigits<ROOM>(out, digits / std::uint32_t{POW10[D]});
  out[ROOM] = '.';
  writeDigits<D>(out + ROOM + 1, digits % std::uint32_t{POW10[D]});
  fillBlanks(out, start);  // over the zeros in front of the integer digits
  if (negative) out[start] = '-';
}

/// Ew.d under scale 1 with exponents of the default count: i = 1, t = d + 1; a double's exponent
/// always fits the four characters of "E+dd" or "+ddd".
template <int W, int D>
void placeCommonExponent(char* out, const DecimalIntermediate& form, bool negative) {
  constexpr int TEXT = 1 + 1 + D + 4;  // digit, point, fraction, exponent
  static_assert(D >= 1 && D <= 8 && W >= TEXT + 1);
  std::uint64_t rounded = 0;
  int x = 0;
  if (form.digits != 0) {
    constexpr std::uint64_t UNIT = POW10[16 - D];
    rounded = (form.digits + UNIT / 2) / UNIT;
    int point = form.pointPosition;
    if (rounded == POW10[D + 1]) {
      rounded = POW10[D];  // a 1 and zeros, one more of them than shown
      ++point;
    }
    x = point - 1;
  }
  negative = negative && rounded != 0;
  char* exponent = out + W - 4;
  auto magnitude = static_cast<std::uint32_t>(x < 0 ? -x : x);
  if (magnitude < 100) {
    exponent[0] = 'E';
    exponent[1] = x < 0 ? '-' : '+';
    std::memcpy(exponent + 2, DIGIT_PAIRS + 2 * magnitude, 2);
  } else if (magnitude < 1000) {
    exponent[0] = x < 0 ? '-' : '+';  // three digits take the letter's place
    writeDigits<3>(exponent + 1, magnitude);
  } else {
    fillAsterisks(out, W);
    return;
  }
  auto digits = static_cast<std::uint32_t>(rounded);  // at most 10^(D + 1)
  writeDigits<D>(exponent - D, digits % std::uint32_t{POW10[D]});
  exponent[-D - 1] = '.';
  exponent[-D - 2] = static_cast<char>('0' + digits / std::uint32_t{POW10[D]});
  int start = W - TEXT - (negative ? 1 : 0);
  fillBlanks(out, start);
  if (negative) out[start] = '-';
}

}  // namespace

void renderFixed(char* out, double value, int w, int d, int k, bool plusSign) {
  if (w == 10 && d == 4 && k == 0 && !plusSign && isFinite(value)) {
    placeCommonFixed<10, 4>(out, toDecimalIntermediate(value), std::signbit(value));
  } else {
    renderAnyFixed(out, value, w, d, k, plusSign);
  }
}

void renderExponent(char* out, double value, int w, int d, int e, int k, bool plusSign) {
  if (w == 15 && d == 7 && e == 2 && k == 1 && !plusSign && isFinite(value)) {
    placeCommonExponent<15, 7>(out, toDecimalIntermediate(value), std::signbit(value));
  } else {
    renderAnyExponent(out, value, w, d, e, k, plusSign);
  }
}

}  // namespace textio
