// The integer field Iw.m and the text field Aw of write statements.
// Both fill exactly w characters, right-justified; only the integer field shows asterisks.
#pragma once

#include <cstdint>
#include <string_view>

namespace textio {

/// Writes exactly w characters (none when w <= 0): an optional "-" (or "+" under the plus-sign
/// setting), zeros up to m digits, the digits of |value| (none for zero), right-justified; w
/// asterisks when that text is longer than w.
void renderInteger(char* out, std::int32_t value, int w, int m, bool plusSign = false);

/// Writes exactly w characters (none when w <= 0): the first w characters of `text`, or blanks in
/// front of the whole text when it is shorter. A text field never shows asterisks.
void renderText(char* out, std::string_view text, int w);

}  // namespace textio
