// Layout strings such as "(0P,F10.4,2X,1P,E15.7)": their parsed items and the walk that lays a
// statement's values out over them, ending records as it goes. Shared by reading and writing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace textio {

/// Items a parsed layout may hold; longer layouts are refused as malformed.
inline constexpr int MAX_LAYOUT_ITEMS = 128;
/// Groups open inside one another at most.
inline constexpr int MAX_GROUP_DEPTH = 16;
/// Largest number a layout may write (counts, widths, digit counts, scale).
inline constexpr std::int32_t MAX_LAYOUT_NUMBER = 32767;
/// Longest record a write statement builds; text beyond it is cut. The longest record of the
/// program's own layouts is 64 characters.
inline constexpr std::size_t MAX_RECORD_LENGTH = 32768;

enum class LayoutItemKind : std::uint8_t {
  LITERAL,         // 'text' or "text"
  BLANKS,          // nX
  RECORD_BREAK,    // / or n/
  TEXT_FIELD,      // A or Aw
  INTEGER_FIELD,   // Iw or Iw.m
  FIXED_FIELD,     // Fw.d
  EXPONENT_FIELD,  // Ew.d or Ew.dEe
  SCALE,           // kP
  GROUP_START,     // r(
  GROUP_END,       // ) of a group
  LAYOUT_END,      // ) of the whole layout
};

inline bool isField(LayoutItemKind kind) {
  return kind >= LayoutItemKind::TEXT_FIELD && kind <= LayoutItemKind::EXPONENT_FIELD;
}

struct LayoutItem {
  LayoutItemKind kind;
  /// Literal only: the delimiter that stands doubled inside `text` for one of itself, or 0.
  char doubledDelimiter;
  /// Fields and groups: repeat count (1 when absent); blank item: blank count; record break:
  /// break count; scale setting: k (may be negative).
  std::int32_t count;
  /// Field numbers, defaults w = 0, d = 1, e = 2. For I fields `d` holds m.
  std::int32_t w, d, e;
  /// Group start: index of its end; group end: index of its start.
  std::int32_t link;
  /// Literal only: the characters between the delimiters as written (doubled delimiters kept).
  std::string_view text;
};

/// A parsed layout. Literal items view the layout string, which must outlive it.
struct RecordLayout {
  LayoutItem items[MAX_LAYOUT_ITEMS];
  std::int32_t itemCount;
  /// Where the walk resumes when the layout is used up while values remain: the start of the
  /// last group that opens directly in the outer parentheses (repeat count included), else 0.
  std::int32_t reversionPoint;
  /// Some field lies at or after the reversion point, so a reversion can always place a value.
  bool fieldAfterReversion;
};

struct LayoutCheck {
  bool ok;
  std::size_t column;   // 1-based position in the layout string where parsing stopped
  const char* problem;  // what was wrong there; nullptr when ok
};

/// Parses `layout` into `out`. Never reads beyond the string or writes beyond `out`, whatever
/// the input; a malformed layout gives ok = false (and `out` is not to be walked).
LayoutCheck tryParseLayout(std::string_view layout, RecordLayout& out);

/// Parses one of the program's own layouts. A malformed one is a programming error: the process
/// aborts with a message naming the layout and the column.
void parseLayout(std::string_view layout, RecordLayout& out);

/// A statement that does not fit its layout (a value meeting a field of another kind, a value
/// with no field to take it) is a programming error: message on standard error, then abort.
[[noreturn]] void layoutMisuse(std::string_view problem, std::string_view layout);

/// The text of the record being built by a write statement. Room past MAX_RECORD_LENGTH lets a
/// field of any allowed width be rendered in place before the record is cut back.
struct RecordText {
  char chars[MAX_RECORD_LENGTH + MAX_LAYOUT_NUMBER];
  std::size_t length;
};

/// Receives every record a walk ends, in order, exactly once each. A write walk hands the
/// finished text (possibly empty); a read walk (no RecordText) hands an empty text, and the
/// receiver advances to the start of the next input line.
struct RecordSink {
  void (*endRecord)(void* context, std::string_view text);
  void* context;
};

struct GroupFrame {
  std::int32_t start;        // index of the group's start item
  std::int32_t repeatsLeft;  // further passes after the current one
};

/// The items from one position up to the next field taken in one step, when they are only blank
/// items, scale settings and at most one layout end (with its record end and reversion), as in
/// every layout that repeats a plain list of fields. Worked out once when a walk starts.
struct WalkShortcut {
  std::int32_t field;   // index of the field reached; -1 when other items come first
  std::int32_t blanks;  // blanks pending at the field, after the record end if there is one
  std::int32_t scale;   // the last scale setting passed, when `setsScale`
  bool setsScale;
  bool endsRecord;
};

/// The state of one statement's walk over its layout. A statement parses its layout, calls
/// `startWalk`, then `nextField` once per value (writing places the value at `fieldSpace`, reading
/// takes it from its line), then `finishWalk`; records end through the sink along the way. A read
/// walk keeps no record text: blank items only count up `pendingBlanks` for the reader to skip.
struct LayoutWalk {
  const RecordLayout* layout;
  std::int32_t position;          // index of the next item to perform
  std::int32_t fieldRepeatsLeft;  // uses left of the field at `position` (0: not started)
  GroupFrame groups[MAX_GROUP_DEPTH];
  std::int32_t groupDepth;
  std::int32_t scale;  // k of the last scale setting; 0 at the start of every statement
  bool plusSign;       // no layout of the program turns it on
  RecordText* record;  // nullptr when reading
  std::size_t pendingBlanks;
  RecordSink sink;
  std::string_view layoutText;               // for misuse messages
  WalkShortcut shortcuts[MAX_LAYOUT_ITEMS];  // by item index
};

/// Starts a statement's walk at the first item: scale 0, plus sign off, an empty record, no
/// pending blanks. `record` is the write statement's buffer, nullptr for a read statement.
void startWalk(LayoutWalk& walk, const RecordLayout& layout, std::string_view layoutText,
               RecordText* record, RecordSink sink);

/// Call once for each value (read or write) of the statement: performs the items up to the next
/// field (literals, blanks, record breaks, scale settings, groups, and a reversion with its
/// record end at the layout end) and returns that field. The caller then places or reads the
/// value by the field's kind and numbers, under `walk.scale`. A layout with no field for the
/// value aborts (`layoutMisuse`).
const LayoutItem& nextField(LayoutWalk& walk);

/// Call once after the last value: performs the items up to the next field or the layout end
/// (no reversion), drops the pending blanks and ends the record. Every statement thus ends
/// exactly one record at its end, even an empty one.
void finishWalk(LayoutWalk& walk);

/// Where a write field goes: the pending blanks are placed first, then the field's w characters
/// (w <= MAX_LAYOUT_NUMBER, as every parsed width) are written at the pointer; then `commitField`.
inline char* fieldSpace(LayoutWalk& walk) {
  RecordText& record = *walk.record;
  if (walk.pendingBlanks != 0) {
    std::size_t room = MAX_RECORD_LENGTH - record.length;
    std::size_t n = walk.pendingBlanks < room ? walk.pendingBlanks : room;
    // Eight at a time: the few blanks of a layout take no library call, and the room past the
    // record's limit takes the last store's excess.
    char* out = record.chars + record.length;
    for (std::size_t i = 0; i < n; i += 8) std::memcpy(out + i, "        ", 8);
    record.length += n;
    walk.pendingBlanks = 0;
  }
  return record.chars + record.length;
}

/// Takes the `width` characters written at `fieldSpace` into the record (cut at its limit).
inline void commitField(LayoutWalk& walk, std::size_t width) {
  std::size_t length = walk.record->length + width;
  walk.record->length = length < MAX_RECORD_LENGTH ? length : MAX_RECORD_LENGTH;
}

/// Appends the pending blanks and then `text` to the record being written (cut at its limit).
void appendText(LayoutWalk& walk, std::string_view text);

}  // namespace textio
