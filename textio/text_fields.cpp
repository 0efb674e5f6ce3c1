// The integer field Iw.m and the text field Aw of write statements.
// Both fill exactly w characters, right-justified; only the integer field shows asterisks.
#include "textio/text_fields.h"

#include <cstring>

namespace textio {

void renderInteger(char* out, std::int32_t value, int w, int m, bool plusSign) {
  if (w <= 0) return;
  // The magnitude of INT32_MIN has no positive int32.
  std::uint32_t magnitude =
      value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
  char digits[10];
  int count = 0;
  for (; magnitude != 0; magnitude /= 10) digits[count++] = static_cast<char>('0' + magnitude % 10);
  bool sign = value < 0 || plusSign;
  int zeros = m > count ? m - count : 0;
  // m is at most a layout number, so nothing here overflows an int.
  int length = static_cast<int>(sign) + zeros + count;
  if (length > w) {
    std::memset(out, '*', static_cast<std::size_t>(w));
    return;
  }
  std::memset(out, ' ', static_cast<std::size_t>(w - length));
  out += w - length;
  if (sign) *out++ = value < 0 ? '-' : '+';
  std::memset(out, '0', static_cast<std::size_t>(zeros));
  out += zeros;
  while (count > 0) *out++ = digits[--count];
}

void renderText(char* out, std::string_view text, int w) {
  if (w <= 0) return;
  std::size_t width = static_cast<std::size_t>(w);
  if (text.size() >= width) {
    std::memcpy(out, text.data(), width);
    return;
  }
  std::memset(out, ' ', width - text.size());
  if (!text.empty()) std::memcpy(out + (width - text.size()), text.data(), text.size());
}

}  // namespace textio
