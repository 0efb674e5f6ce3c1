// Real-number fields: the decimal digits of a double and the Fw.d and Ew.dEe texts built from them.
// Digits come first (exact, rounded twice half away from zero); the layouts only place them.
#pragma once

namespace textio {

/// Significant digits kept by the decimal form; at most 16 of them are ever shown.
inline constexpr int MAX_DECIMAL_DIGITS = 17;

/// The decimal form of one value: 0.d1d2... x 10^pointPosition.
struct DecimalDigits {
  bool finite;
  /// A minus sign is to be shown; never set for a zero value.
  bool negative;
  /// 0 for a zero value.
  int pointPosition;
  /// Significant digits without trailing zeros ("0" for zero), or the marker of a non-finite value
  /// ("1#INF", "1#SNAN", "1#IND", "1#QNAN"). Not terminated.
  char digits[MAX_DECIMAL_DIGITS];
  int length;
};

/// The exact value's first 18 significant digits, truncated, rounded half away from zero to at
/// most 17 digits without trailing zeros; subnormals included.
DecimalDigits toDecimalDigits(double value);

/// Rounds to n significant digits half away from zero; true when a new leading digit appeared.
/// A negative n rounds everything away to nothing (no carry, no sign left).
bool roundDecimalDigits(DecimalDigits& digits, int n);

/// Writes exactly w characters (none when w <= 0): the field Fw.d of value under scale k.
void renderFixed(char* out, double value, int w, int d, int k, bool plusSign = false);

/// Writes exactly w characters (none when w <= 0): the field Ew.dEe of value under scale k.
/// With e = 2, the count of a field that names none, three-digit exponents drop the letter.
void renderExponent(char* out, double value, int w, int d, int e, int k, bool plusSign = false);

}  // namespace textio
