// Reading formatted text channels such as the control file: input lines, the text and fixed-point
// fields, and the read statements with a layout or in the free form. Every failure ends the run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

#include "textio/channels.h"
#include "textio/fixed_text.h"

namespace textio {

inline constexpr unsigned char LINE_FEED = 10;
inline constexpr unsigned char CARRIAGE_RETURN = 13;
inline constexpr unsigned char CTRL_Z = 26;

/// The next byte of the channel's file, refilling the block as needed. A last line without LF
/// gets one LF supplied; a byte needed after that ends the run with F6501 (F6500 when the file
/// cannot be read).
unsigned char nextChar(Channel& channel);

/// Steps back over the byte `nextChar` has just delivered, so the record advance sees it again.
/// Valid only directly after `nextChar` on the same channel.
inline void putBackChar(Channel& channel) {
  --channel.inPosition;
}

/// The record advance: drops every byte up to and including the next LF.
void endRecord(Channel& channel);

/// Reads a text field of `width` columns (0: the item's own length) into `item`, stopping before
/// a CR or LF. A narrower field is blank-filled on the right; a wider one keeps its last
/// `item.length` columns. Every other byte is taken as it stands.
void readTextField(Channel& channel, TextItem item, std::size_t width);

/// Reads a fixed-point field of `width` columns: blanks and tabs are dropped, a CR or LF ends it
/// early (and stays), a comma ends it and is consumed. Without a decimal point the last
/// `decimals` digits are decimals; without an exponent the value is divided by 10^scale. An
/// empty field is 0. Returns the nearest double; ends the run with F6501 (Ctrl-Z), F6103 (not a
/// number) or F6102 (beyond the double range).
double readRealField(Channel& channel, int width, int decimals, int scale);

/// One variable of a read statement with a layout: a text meets an A field, a double an F or E
/// field.
struct ReadItem {
  enum class Kind { TEXT, REAL };
  Kind kind;
  TextItem text{};
  double* real = nullptr;

  ReadItem(TextItem item) : kind(Kind::TEXT), text(item) {}
  ReadItem(double* value) : kind(Kind::REAL), real(value) {}
};

/// One read statement with a layout on the formatted channel `unit`. A record break or a
/// reversion moves to the start of the next line; the statement ends at the start of the line
/// after the one it stopped in, so one without items consumes exactly one line.
void formattedRead(UnitNumber unit, std::string_view layout, std::span<const ReadItem> items);
void formattedRead(UnitNumber unit, std::string_view layout, std::initializer_list<ReadItem> items);
/// The same with texts only, e.g. a list of paths read with "(A)" one per line.
void formattedRead(UnitNumber unit, std::string_view layout, std::span<const TextItem> items);

/// Longest free-form value kept; a longer one is cut there, and refused (F6100) when the cut
/// characters could still change its value.
inline constexpr std::size_t MAX_TOKEN_LENGTH = 259;

/// One free-form read statement of integers on the formatted channel `unit`: values separated by
/// blanks, tabs, commas or line ends (empty lines skipped), r*value repeats, b#digits radix
/// values; a null value or a slash leaves items unchanged. Ends at the start of a new line.
void freeFormRead(UnitNumber unit, std::initializer_list<std::int32_t*> items);

}  // namespace textio
