// Floating-point operations that end the run where the hardware would raise invalid operation,
// division by zero or overflow; underflow and inexact results pass silently.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>

namespace textio {

inline bool isSignallingNaN(double x) {
  return std::isnan(x) && (std::bit_cast<std::uint64_t>(x) & (std::uint64_t{1} << 51)) == 0;
}
inline bool isSignallingNaN(float x) {
  return std::isnan(x) && (std::bit_cast<std::uint32_t>(x) & (std::uint32_t{1} << 22)) == 0;
}

namespace detail {

enum class ArithmeticOperation { ADD, SUBTRACT, MULTIPLY, DIVIDE };

/// Judges a non-finite result `result` of `a op b`: returns it when the operation raises
/// nothing (a quiet NaN or an infinite operand propagating), else ends the run with the report.
double judgeNonFinite(ArithmeticOperation operation, double a, double b, double result);

[[noreturn]] void reportInvalid();
[[noreturn]] void reportOverflow();
/// The power function's own overflow report.
[[noreturn]] void reportPowerOverflow();

}  // namespace detail

// A finite result proves finite, non-NaN operands, so only the rare non-finite result needs a
// closer look; the common path is one test.

/// a + b, ending the run on an invalid operation or overflow.
inline double checkedAdd(double a, double b) {
  double result = a + b;
  if (!std::isfinite(result)) [[unlikely]]
    return detail::judgeNonFinite(detail::ArithmeticOperation::ADD, a, b, result);
  return result;
}

/// a - b, ending the run on an invalid operation or overflow.
inline double checkedSubtract(double a, double b) {
  double result = a - b;
  if (!std::isfinite(result)) [[unlikely]]
    return detail::judgeNonFinite(detail::ArithmeticOperation::SUBTRACT, a, b, result);
  return result;
}

/// a * b, ending the run on an invalid operation or overflow.
inline double checkedMultiply(double a, double b) {
  double result = a * b;
  if (!std::isfinite(result)) [[unlikely]]
    return detail::judgeNonFinite(detail::ArithmeticOperation::MULTIPLY, a, b, result);
  return result;
}

/// a / b, ending the run on an invalid operation, a division by zero or overflow.
inline double checkedDivide(double a, double b) {
  double result = a / b;
  if (!std::isfinite(result)) [[unlikely]]
    return detail::judgeNonFinite(detail::ArithmeticOperation::DIVIDE, a, b, result);
  return result;
}

/// x rounded to single precision; overflow when the rounded value leaves the single range.
inline float checkedNarrow(double x) {
  // The halfway point between the largest single and 2^128 already rounds up to infinity.
  constexpr double FIRST_OVERFLOWING = 0x1.ffffffp+127;
  if (std::isfinite(x)) {
    if (std::fabs(x) >= FIRST_OVERFLOWING) [[unlikely]]
      detail::reportOverflow();
  } else if (isSignallingNaN(x)) [[unlikely]] {
    detail::reportInvalid();
  }
  return static_cast<float>(x);
}

/// x widened to double; a signalling NaN is an invalid operation.
inline double checkedWiden(float x) {
  if (isSignallingNaN(x)) [[unlikely]]
    detail::reportInvalid();
  return static_cast<double>(x);
}

/// x truncated toward zero; a NaN or a value outside the 32-bit range is an invalid operation.
inline std::int32_t checkedTruncate(double x) {
  if (!(x > -2147483649.0 && x < 2147483648.0)) [[unlikely]]
    detail::reportInvalid();
  return static_cast<std::int32_t>(x);
}

/// Ordered comparisons: a NaN operand is an invalid operation.
inline bool checkedLess(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) [[unlikely]]
    detail::reportInvalid();
  return a < b;
}
inline bool checkedLessEqual(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) [[unlikely]]
    detail::reportInvalid();
  return a <= b;
}

/// The smaller and the larger of two values (the first when they compare equal).
inline double checkedMin(double a, double b) {
  return checkedLess(b, a) ? b : a;
}
inline double checkedMax(double a, double b) {
  return checkedLess(a, b) ? b : a;
}

/// 2 to the power n. A result beyond the double range is the power function's overflow
/// (M6203); one below it underflows silently to a denormal or zero.
inline double checkedPowerOfTwo(std::int32_t n) {
  if (n >= 1024) [[unlikely]]
    detail::reportPowerOverflow();
  return std::ldexp(1.0, n);
}

}  // namespace textio
