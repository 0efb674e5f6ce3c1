// The rare paths of the checked floating-point operations: deciding which IEEE 754 exception a
// non-finite result stands for, and the reports that end the run.
#include "textio/checked_math.h"

#include "textio/termination.h"

namespace textio::detail {

double judgeNonFinite(ArithmeticOperation operation, double a, double b, double result) {
  if (std::isnan(result)) {
    // A quiet NaN operand passes through silently; a signalling one, or a NaN made from
    // numbers (inf - inf, 0 * inf, 0 / 0, inf / inf), is an invalid operation.
    if ((std::isnan(a) || std::isnan(b)) && !isSignallingNaN(a) && !isSignallingNaN(b))
      return result;
    reportInvalid();
  }
  // An infinite operand carries its infinity into the result without any exception.
  if (std::isinf(a) || std::isinf(b)) return result;
  if (operation == ArithmeticOperation::DIVIDE && b == 0.0)
    reportFloatingPointError(FloatingPointFault::DIVIDE_BY_ZERO);
  reportOverflow();
}

void reportInvalid() {
  reportFloatingPointError(FloatingPointFault::INVALID);
}

void reportOverflow() {
  reportFloatingPointError(FloatingPointFault::OVERFLOW);
}

void reportPowerOverflow() {
  reportMathError("**", MathErrorKind::OVERFLOW);
}

}  // namespace textio::detail
