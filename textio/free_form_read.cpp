// The free-form read statement of integers: values cut from the lines by separators, with repeat
// counts, null values and the slash, each value turned into a 32-bit integer.
#include <cstdint>
#include <string_view>

#include "textio/control_read.h"
#include "textio/termination.h"

namespace textio {
namespace {

enum class Separator { BLANK, COMMA, SLASH };

// The state of one statement. The token lives here, not on the heap.
struct FreeFormState {
  char token[MAX_TOKEN_LENGTH];
  std::size_t length = 0;
  bool cut = false;  // characters beyond MAX_TOKEN_LENGTH were dropped
  std::int32_t repeatCount = 0;
  // A statement starts as if after a comma, so a leading comma is a null value.
  Separator lastSeparator = Separator::COMMA;
  bool lineAdvanced = false;
};

// Larger than every limit below, small enough that a few more digits of any base still fit.
constexpr std::uint64_t SATURATED = std::uint64_t{1} << 40;

[[noreturn]] void fail(int number, const Channel& channel) {
  reportIoError(number, StatementWord::READ, channel.name());
}

bool endsDigits(char c) {
  return c == '\0' || c == static_cast<char>(CTRL_Z);
}

// The worth of a digit of any base up to 36; 36 or more for anything else.
unsigned digitWorth(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'a' && c <= 'z') return static_cast<unsigned>(c - 'a' + 10);
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned>(c - 'A' + 10);
  return 36;
}

std::int32_t convertInteger(const FreeFormState& state, const Channel& channel) {
  std::string_view token(state.token, state.length);
  std::size_t i = 0;
  bool negative = false;
  if (token[0] == '+' || token[0] == '-') {
    negative = token[0] == '-';
    ++i;
  }
  std::size_t firstDigit = i;
  std::uint64_t value = 0;
  for (; i < token.size() && digitWorth(token[i]) < 10; ++i)
    value = std::min(value * 10 + digitWorth(token[i]), SATURATED);

  std::uint64_t base = 10;
  if (i < token.size() && token[i] == '#') {
    base = i == firstDigit ? 16 : value;
    if (base < 2 || base > 36) fail(6303, channel);
    value = 0;
    for (++i; i < token.size() && !endsDigits(token[i]); ++i) {
      if (token[i] == '#') fail(6302, channel);
      unsigned worth = digitWorth(token[i]);
      if (worth >= base) fail(6101, channel);
      value = std::min(value * base + worth, SATURATED);
    }
  } else if (i < token.size() && !endsDigits(token[i])) {
    fail(6101, channel);
  }
  // Digits running into the cut could still change the value.
  if (i == token.size() && state.cut) fail(6100, channel);

  // Decimal values are signed magnitudes; other bases give the 32-bit pattern itself.
  std::uint64_t limit = base != 10 ? 0xFFFFFFFFu : negative ? 0x80000000u : 0x7FFFFFFFu;
  if (value > limit) fail(6100, channel);
  std::uint32_t pattern = static_cast<std::uint32_t>(value);
  if (negative) pattern = 0u - pattern;
  return static_cast<std::int32_t>(pattern);
}

// Reads the characters of the next value into the token, up to and including its separator.
void scanValue(Channel& channel, FreeFormState& state) {
  state.length = 0;
  state.cut = false;
  state.lineAdvanced = false;
  for (;;) {
    unsigned char c = nextChar(channel);
    switch (c) {
      case CARRIAGE_RETURN:
      case LINE_FEED:
        putBackChar(channel);
        endRecord(channel);
        if (state.length == 0) continue;  // empty lines before a value are skipped
        state.lineAdvanced = true;
        state.lastSeparator = Separator::BLANK;
        return;
      case ' ':
      case '\t':
        if (state.length == 0 && state.repeatCount == 0) continue;
        state.lastSeparator = Separator::BLANK;
        return;
      case ',':
        if (state.length == 0 && state.lastSeparator == Separator::BLANK &&
            state.repeatCount == 0) {
          // Blanks and one comma together are a single separator; a second comma is a null.
          state.lastSeparator = Separator::COMMA;
          continue;
        }
        state.lastSeparator = Separator::COMMA;
        return;
      case '/':
        state.lastSeparator = Separator::SLASH;
        return;
      case '\'':
      case '"':
      case '(':
        // A quoted text or a parenthesised pair can never be an integer.
        if (state.length == 0) fail(6504, channel);
        break;
      case '*': {
        if (state.repeatCount > 0) fail(6503, channel);
        std::int32_t repeat = state.length == 0 ? 0 : convertInteger(state, channel);
        if (repeat == 0) fail(6502, channel);
        // A negative count owes no further delivery; it stays negative (not "none pending"),
        // as old control files may rely on.
        state.repeatCount = repeat == INT32_MIN ? INT32_MIN : repeat - 1;
        state.length = 0;
        state.cut = false;
        continue;
      }
      default:
        break;
    }
    if (state.length < MAX_TOKEN_LENGTH) {
      state.token[state.length++] = static_cast<char>(c);
    } else {
      state.cut = true;
    }
  }
}

}  // namespace

void freeFormRead(UnitNumber unit, std::initializer_list<std::int32_t*> items) {
  Channel& channel = channelOf(unit);
  FreeFormState state;
  for (std::int32_t* item : items) {
    if (state.repeatCount > 0) {
      --state.repeatCount;
    } else if (state.lastSeparator == Separator::SLASH) {
      continue;
    } else {
      scanValue(channel, state);
    }
    if (state.length > 0) *item = convertInteger(state, channel);
  }
  // The rest of the line after the last value (more values, a comment) is skipped.
  if (!state.lineAdvanced) endRecord(channel);
}

}  // namespace textio
