// Fixed-point (Fw.d) and exponent (Ew.dEe) fields: place the rounded digits of a value into a
// text of exactly w characters, or w asterisks when the text does not fit.
#include <cstdint>
#include <cstring>

#include "textio/real_field.h"

namespace textio {
namespace {

using Count = std::int64_t;  // widths, digit counts and scales combine without overflow

/// At most this many significant digits of a double are ever shown.
constexpr Count SHOWN_DIGITS = 16;

Count atLeastZero(Count n) {
  return n < 0 ? 0 : n;
}

/// The digit count for the digit rounding, kept within what the digit string can hold.
int roundingCount(Count t) {
  if (t > SHOWN_DIGITS) return static_cast<int>(SHOWN_DIGITS);
  return t < 0 ? -1 : static_cast<int>(t);
}

/// The sign, integer digits, point and fraction digits of a field, before its exponent.
struct Mantissa {
  char sign;  // 0 for none
  bool leadingZero;
  Count integerDigits;   // i: negative for zeros between the point and the first digit
  Count fractionDigits;  // d

  Count length() const {
    return (sign != 0 ? 1 : 0) + (leadingZero ? 1 : 0) + atLeastZero(integerDigits) + 1 +
           fractionDigits;
  }
};

Mantissa makeMantissa(const DecimalDigits& digits, Count i, Count t, Count d, bool plusSign) {
  char sign = digits.negative ? '-' : (plusSign ? '+' : 0);
  return {sign, i == 0 && t == 0, i, d};
}

/// Digits are taken in order; positions past the end of the digit string show zeros.
char* writeMantissa(char* out, const Mantissa& mantissa, const DecimalDigits& digits) {
  if (mantissa.sign != 0) *out++ = mantissa.sign;
  if (mantissa.leadingZero) *out++ = '0';
  int next = 0;
  for (Count j = 0; j < mantissa.integerDigits; ++j) {
    *out++ = next < digits.length ? digits.digits[next++] : '0';
  }
  *out++ = '.';
  Count zeros = 0;
  if (mantissa.integerDigits < 0) {
    zeros = -mantissa.integerDigits < mantissa.fractionDigits ? -mantissa.integerDigits
                                                              : mantissa.fractionDigits;
  }
  std::memset(out, '0', static_cast<std::size_t>(zeros));
  out += zeros;
  for (Count j = zeros; j < mantissa.fractionDigits; ++j) {
    *out++ = next < digits.length ? digits.digits[next++] : '0';
  }
  return out;
}

/// Non-finite values: the marker cut or padded with full stops to w characters, never a sign.
void writeMarker(char* out, const DecimalDigits& digits, int w) {
  int shown = digits.length < w ? digits.length : w;
  std::memcpy(out, digits.digits, static_cast<std::size_t>(shown));
  std::memset(out + shown, '.', static_cast<std::size_t>(w - shown));
}

/// Right-justifies a text of the given length in w characters; returns where the text goes,
/// or nullptr after filling the field with asterisks.
char* justify(char* out, int w, Count length) {
  if (length > w) {
    std::memset(out, '*', static_cast<std::size_t>(w));
    return nullptr;
  }
  std::memset(out, ' ', static_cast<std::size_t>(w - length));
  return out + (w - length);
}

/// The exponent part of an exponent field: letter, sign and digits, padded with zeros.
struct Exponent {
  bool fits;
  bool letter;
  char sign;
  Count width;  // digits written
  char reversed[24];
  int count;  // significant digits of |x|

  Count length() const { return (letter ? 1 : 0) + 1 + width; }
};

Exponent makeExponent(Count x, int e) {
  Exponent result{};
  result.sign = x < 0 ? '-' : '+';
  std::uint64_t magnitude = static_cast<std::uint64_t>(x < 0 ? -x : x);
  do {
    result.reversed[result.count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  result.letter = true;
  result.width = e;
  if (e == 2 && result.count == 3) {
    // Three-digit exponents of the default count take the letter's place.
    result.letter = false;
    result.width = 3;
  }
  result.fits = result.count <= result.width;
  return result;
}

void writeExponent(char* out, const Exponent& exponent) {
  if (exponent.letter) *out++ = 'E';
  *out++ = exponent.sign;
  Count padding = exponent.width - exponent.count;
  std::memset(out, '0', static_cast<std::size_t>(padding));
  out += padding;
  for (int j = exponent.count - 1; j >= 0; --j) *out++ = exponent.reversed[j];
}

}  // namespace

void renderFixed(char* out, double value, int w, int d, int k, bool plusSign) {
  if (w <= 0) return;
  DecimalDigits digits = toDecimalDigits(value);
  if (!digits.finite) {
    writeMarker(out, digits, w);
    return;
  }
  Count fraction = atLeastZero(d);
  Count i = 0;
  Count t = fraction;
  bool zero = digits.digits[0] == '0';
  if (!zero) {
    i = Count{digits.pointPosition} + k;
    t = i + fraction;
  }
  if (i < -fraction) {
    // Below one tenth of the last shown place: zeros, and no minus sign.
    digits.length = 0;
    digits.negative = false;
    i = 0;
    t = fraction;
  } else if (roundDecimalDigits(digits, roundingCount(t))) {
    ++i;
    ++t;
  }
  Mantissa mantissa = makeMantissa(digits, i, t, fraction, plusSign);
  char* text = justify(out, w, mantissa.length());
  if (text != nullptr) writeMantissa(text, mantissa, digits);
}

void renderExponent(char* out, double value, int w, int d, int e, int k, bool plusSign) {
  if (w <= 0) return;
  DecimalDigits digits = toDecimalDigits(value);
  if (!digits.finite) {
    writeMarker(out, digits, w);
    return;
  }
  Count fraction = atLeastZero(d);
  Count i = k;
  Count t = k > 0 ? fraction + 1 : fraction + k;
  bool zero = digits.digits[0] == '0';
  // A carry only moves the point position; the mantissa keeps its shape.
  roundDecimalDigits(digits, roundingCount(t));
  Count x = zero ? 0 : Count{digits.pointPosition} - k;

  Mantissa mantissa = makeMantissa(digits, i, t, fraction, plusSign);
  Exponent exponent = makeExponent(x, e);
  Count length = exponent.fits ? mantissa.length() + exponent.length() : Count{w} + 1;
  char* text = justify(out, w, length);
  if (text == nullptr) return;
  writeExponent(writeMantissa(text, mantissa, digits), exponent);
}

}  // namespace textio
