// Parsing of layout strings into items, and the messages for layouts the program misuses.
// Layouts are program constants, yet no input may make the parser read or write out of bounds.
#include <cstdlib>

#include "platform/platform.h"
#include "textio/layout.h"

namespace textio {
namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}
char upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

struct Parser {
  std::string_view layout;
  std::size_t pos;
  RecordLayout& out;
  const char* problem = nullptr;

  bool atEnd() const { return pos >= layout.size(); }
  // Blanks outside literal text mean nothing, even inside numbers.
  char peek() {
    while (pos < layout.size() && layout[pos] == ' ') ++pos;
    return pos < layout.size() ? layout[pos] : '\0';
  }
  bool fail(const char* what) {
    problem = what;
    return false;
  }
  bool readNumber(std::int32_t& value) {
    value = 0;
    while (isDigit(peek())) {
      value = value * 10 + (layout[pos++] - '0');
      if (value > MAX_LAYOUT_NUMBER) return fail("number too large");
    }
    return true;
  }
  LayoutItem* add(LayoutItemKind kind, std::int32_t count) {
    if (out.itemCount == MAX_LAYOUT_ITEMS) {
      fail("too many items");
      return nullptr;
    }
    LayoutItem& item = out.items[out.itemCount++];
    item = LayoutItem{kind, '\0', count, 0, 1, 2, 0, {}};
    return &item;
  }
  bool literal();
  bool field(LayoutItemKind kind, std::int32_t repeat);
  bool items();
};

// From the opening delimiter to the next one that is not doubled.
bool Parser::literal() {
  char delimiter = layout[pos];
  std::size_t start = pos + 1;
  std::size_t i = start;
  bool doubled = false;
  while (i < layout.size()) {
    if (layout[i] == delimiter) {
      if (i + 1 < layout.size() && layout[i + 1] == delimiter) {
        doubled = true;
        i += 2;
        continue;
      }
      break;
    }
    ++i;
  }
  if (i >= layout.size()) return fail("literal text not closed");
  LayoutItem* item = add(LayoutItemKind::LITERAL, 1);
  if (item == nullptr) return false;
  item->text = layout.substr(start, i - start);
  item->doubledDelimiter = doubled ? delimiter : '\0';
  pos = i + 1;
  return true;
}

// The letter is taken; the numbers follow: w, then .d (or .m), then Ee for exponent fields.
bool Parser::field(LayoutItemKind kind, std::int32_t repeat) {
  LayoutItem* item = add(kind, repeat);
  if (item == nullptr) return false;
  if (!isDigit(peek())) return true;
  if (!readNumber(item->w)) return false;
  if (kind == LayoutItemKind::TEXT_FIELD || peek() != '.') return true;
  ++pos;
  if (!isDigit(peek())) return fail("digits expected after the point");
  if (!readNumber(item->d)) return false;
  if (kind != LayoutItemKind::EXPONENT_FIELD || upper(peek()) != 'E') return true;
  ++pos;
  if (!isDigit(peek())) return fail("exponent digits expected");
  return readNumber(item->e);
}

bool Parser::items() {
  std::int32_t openGroups[MAX_GROUP_DEPTH];
  int depth = 0;
  std::int32_t lastOuterGroup = -1;
  if (peek() != '(') return fail("a layout begins with (");
  ++pos;
  for (;;) {
    char c = peek();
    if (atEnd()) return fail("closing parenthesis missing");
    if (c == ',') {
      ++pos;
      continue;
    }
    if (c == ')') {
      ++pos;
      if (depth == 0) {
        if (add(LayoutItemKind::LAYOUT_END, 1) == nullptr) return false;
        peek();
        if (!atEnd()) return fail("text after the closing parenthesis");
        break;
      }
      std::int32_t start = openGroups[--depth];
      LayoutItem* end = add(LayoutItemKind::GROUP_END, 1);
      if (end == nullptr) return false;
      end->link = start;
      out.items[start].link = out.itemCount - 1;
      continue;
    }
    if (c == '\'' || c == '"') {
      if (!literal()) return false;
      continue;
    }
    bool negative = false;
    bool signed_ = c == '+' || c == '-';
    if (signed_) {
      negative = c == '-';
      ++pos;
      if (!isDigit(peek())) return fail("a sign must be followed by a scale");
    }
    bool hasNumber = isDigit(peek());
    std::int32_t number = 1;
    if (hasNumber && !readNumber(number)) return false;
    char letter = upper(peek());
    if (atEnd()) return fail("closing parenthesis missing");
    if (signed_ && letter != 'P') return fail("only a scale setting carries a sign");
    if (hasNumber && number == 0 && letter != 'P') return fail("a count must be at least 1");
    ++pos;
    switch (letter) {
      case 'P':
        if (!hasNumber) return fail("P needs its scale in front");
        if (add(LayoutItemKind::SCALE, negative ? -number : number) == nullptr) return false;
        break;
      case 'X':
        if (add(LayoutItemKind::BLANKS, number) == nullptr) return false;
        break;
      case '/':
        if (add(LayoutItemKind::RECORD_BREAK, number) == nullptr) return false;
        break;
      case '(':
        if (depth == MAX_GROUP_DEPTH) return fail("groups nested too deeply");
        if (add(LayoutItemKind::GROUP_START, number) == nullptr) return false;
        openGroups[depth] = out.itemCount - 1;
        if (depth == 0) lastOuterGroup = openGroups[depth];
        ++depth;
        break;
      case 'A':
        if (!field(LayoutItemKind::TEXT_FIELD, number)) return false;
        break;
      case 'I':
        if (!field(LayoutItemKind::INTEGER_FIELD, number)) return false;
        break;
      case 'F':
        if (!field(LayoutItemKind::FIXED_FIELD, number)) return false;
        break;
      case 'E':
        if (!field(LayoutItemKind::EXPONENT_FIELD, number)) return false;
        break;
      default:
        --pos;
        return fail("unknown item");
    }
  }
  out.reversionPoint = lastOuterGroup >= 0 ? lastOuterGroup : 0;
  out.fieldAfterReversion = false;
  for (std::int32_t i = out.reversionPoint; i < out.itemCount; ++i) {
    if (isField(out.items[i].kind)) out.fieldAfterReversion = true;
  }
  return true;
}

void writeError(std::string_view text) {
  platform::FileHandle handle =
      platform::systemCalls.standardHandle(platform::StandardStream::ERROR);
  platform::systemCalls.writeFile(handle, text.data(), text.size());
}

[[noreturn]] void abortWith(std::string_view what, std::string_view layout, std::string_view where,
                            std::string_view problem) {
  writeError(what);
  writeError(layout);
  writeError(where);
  writeError(problem);
  writeError("\n");
  std::abort();
}

}  // namespace

LayoutCheck tryParseLayout(std::string_view layout, RecordLayout& out) {
  out.itemCount = 0;
  out.reversionPoint = 0;
  out.fieldAfterReversion = false;
  Parser parser{layout, 0, out};
  if (parser.items()) return {true, 0, nullptr};
  out.itemCount = 0;
  std::size_t column = parser.pos < layout.size() ? parser.pos + 1 : layout.size();
  return {false, column, parser.problem};
}

void parseLayout(std::string_view layout, RecordLayout& out) {
  LayoutCheck check = tryParseLayout(layout, out);
  if (check.ok) return;
  char column[24];
  char* end = column + sizeof column;
  char* digits = end;
  std::size_t n = check.column;
  do {
    *--digits = static_cast<char>('0' + n % 10);
    n /= 10;
  } while (n != 0);
  writeError("malformed layout ");
  writeError(layout);
  abortWith(" at column ", std::string_view(digits, end - digits), ": ", check.problem);
}

void layoutMisuse(std::string_view problem, std::string_view layout) {
  abortWith("layout misused: ", problem, " in ", layout);
}

}  // namespace textio
