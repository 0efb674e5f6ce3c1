// The fields a read statement takes from a line: text fields, and fixed-point fields turned into
// the nearest double.
#include <algorithm>
#include <charconv>
#include <cstdint>

#include "textio/control_read.h"
#include "textio/termination.h"

namespace textio {
namespace {

// Significant digits kept of a real field. Deciding the rounding of any double needs at most
// 767 of them; a non-zero digit beyond the kept ones is represented by one more digit 1.
constexpr int MAX_SIGNIFICANT = 800;
// An exponent this large already puts any mantissa of a field far outside the double range.
constexpr std::int64_t EXPONENT_CAP = 1000000000;

bool isDigit(unsigned char c) {
  return c >= '0' && c <= '9';
}
bool isExponentLetter(unsigned char c) {
  return c == 'E' || c == 'e' || c == 'D' || c == 'd';
}
bool isSign(unsigned char c) {
  return c == '+' || c == '-';
}

// Takes the characters of a numeric field one at a time, as they are collected, and keeps the
// value as significant digits times a power of ten. Any character that does not continue the
// number spoils the field.
class RealScanner {
 public:
  void take(unsigned char c) {
    State s = state_;
    bool beforePoint = s == State::START || s == State::SIGNED || s == State::INTEGER;
    // A sign or a point alone already stands for a mantissa of 0.
    bool mantissaStands = s == State::SIGNED || s == State::INTEGER || s == State::FRACTION;
    if (s == State::START && isSign(c)) {
      negative_ = c == '-';
      state_ = State::SIGNED;
    } else if (beforePoint && isDigit(c)) {
      integerDigit(c);
    } else if (beforePoint && c == '.') {
      point_ = true;
      state_ = State::FRACTION;
    } else if (s == State::FRACTION && isDigit(c)) {
      fractionDigit(c);
    } else if (mantissaStands && isExponentLetter(c)) {
      exponentWritten_ = true;
      state_ = State::EXPONENT_LETTER;
    } else if ((mantissaStands || s == State::EXPONENT_LETTER) && isSign(c)) {
      // A sign after the mantissa starts the exponent even without a letter: 1.5-1 is 0.15.
      exponentWritten_ = true;
      exponentNegative_ = c == '-';
      state_ = State::EXPONENT_SIGN;
    } else if ((s == State::EXPONENT_LETTER || s == State::EXPONENT_SIGN || s == State::EXPONENT) &&
               isDigit(c)) {
      exponent_ = std::min(exponent_ * 10 + (c - '0'), EXPONENT_CAP);
      state_ = State::EXPONENT;
    } else {
      state_ = State::SPOILED;
    }
  }

  /// True when the characters taken form a number (or none were taken).
  bool complete() const {
    return state_ != State::SPOILED && state_ != State::EXPONENT_LETTER &&
           state_ != State::EXPONENT_SIGN;
  }

  /// The nearest double; `overflow` is set (and 0 returned) when it lies beyond the range.
  double value(int decimals, int scale, bool& overflow) const {
    overflow = false;
    double zero = negative_ ? -0.0 : 0.0;
    if (count_ == 0) return zero;
    std::int64_t power = power_ + (exponentNegative_ ? -exponent_ : exponent_);
    if (!point_) power -= decimals;
    if (!exponentWritten_) power -= scale;
    // The value lies below 10^magnitude; far outside the range no text is built at all.
    std::int64_t magnitude = power + count_;
    if (magnitude > 400) {
      overflow = true;
      return 0.0;
    }
    if (magnitude < -400) return zero;

    char text[MAX_SIGNIFICANT + 32];
    char* end = std::copy_n(digits_, count_, text);
    if (sticky_) {
      *end++ = '1';
      --power;
    }
    *end++ = 'e';
    end = std::to_chars(end, text + sizeof text, power).ptr;
    double result = 0.0;
    std::from_chars_result parsed = std::from_chars(text, end, result);
    if (parsed.ec == std::errc::result_out_of_range) {
      // Out of range on the large side is an overflow; on the small side the value vanishes.
      if (magnitude > 0) {
        overflow = true;
        return 0.0;
      }
      return zero;
    }
    return negative_ ? -result : result;
  }

 private:
  enum class State {
    START,            // nothing taken
    SIGNED,           // a sign: counts as a 0 already
    INTEGER,          // digits before any point
    FRACTION,         // after the point (a lone point counts as 0)
    EXPONENT_LETTER,  // E, e, D or d: a signed integer must follow
    EXPONENT_SIGN,    // the exponent's sign: digits must follow
    EXPONENT,         // exponent digits
    SPOILED,          // a character that continues no number
  };

  void integerDigit(unsigned char c) {
    state_ = State::INTEGER;
    if (count_ == 0 && c == '0') return;
    if (count_ < MAX_SIGNIFICANT) {
      digits_[count_++] = static_cast<char>(c);
    } else {
      ++power_;
      sticky_ = sticky_ || c != '0';
    }
  }
  void fractionDigit(unsigned char c) {
    if (count_ == 0 && c == '0') {
      --power_;
    } else if (count_ < MAX_SIGNIFICANT) {
      digits_[count_++] = static_cast<char>(c);
      --power_;
    } else {
      sticky_ = sticky_ || c != '0';
    }
  }

  State state_ = State::START;
  bool negative_ = false;
  bool point_ = false;
  bool exponentWritten_ = false;
  bool exponentNegative_ = false;
  bool sticky_ = false;  // a non-zero digit was not kept
  int count_ = 0;
  char digits_[MAX_SIGNIFICANT];  // significant digits, the first one non-zero
  std::int64_t power_ = 0;        // value = digits x 10^(power_ + written exponent)
  std::int64_t exponent_ = 0;     // the written exponent's magnitude
};

}  // namespace

void readTextField(Channel& channel, TextItem item, std::size_t width) {
  if (width == 0) width = item.length;
  // Of a field wider than the item only the last columns are kept.
  std::size_t skipped = width > item.length ? width - item.length : 0;
  std::fill_n(item.chars, item.length, ' ');
  for (std::size_t column = 0; column < width; ++column) {
    unsigned char c = nextChar(channel);
    if (c == CARRIAGE_RETURN || c == LINE_FEED) {
      putBackChar(channel);
      return;
    }
    if (column >= skipped) item.chars[column - skipped] = static_cast<char>(c);
  }
}

double readRealField(Channel& channel, int width, int decimals, int scale) {
  RealScanner scanner;
  for (int column = 0; column < width; ++column) {
    unsigned char c = nextChar(channel);
    if (c == CARRIAGE_RETURN || c == LINE_FEED) {
      putBackChar(channel);
      break;
    }
    if (c == ',') break;
    if (c == ' ' || c == '\t') continue;
    if (c == CTRL_Z) reportIoError(6501, StatementWord::READ, channel.name());
    scanner.take(c);
  }
  if (!scanner.complete()) reportIoError(6103, StatementWord::READ, channel.name());
  bool overflow = false;
  double result = scanner.value(decimals, scale, overflow);
  if (overflow) reportIoError(6102, StatementWord::READ, channel.name());
  return result;
}

}  // namespace textio
