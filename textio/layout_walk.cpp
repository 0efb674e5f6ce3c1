// The walk of a parsed layout: literal text, blanks, record breaks, scale settings, groups and
// reversion, performed between the fields that read or write a statement's values.
#include "textio/layout.h"

namespace textio {
namespace {

void addBlanks(LayoutWalk& walk, std::size_t count) {
  walk.pendingBlanks += count;
  if (walk.pendingBlanks > MAX_RECORD_LENGTH) walk.pendingBlanks = MAX_RECORD_LENGTH;
}

void endRecord(LayoutWalk& walk) {
  walk.pendingBlanks = 0;
  if (walk.record == nullptr) {
    walk.sink.endRecord(walk.sink.context, {});
    return;
  }
  walk.sink.endRecord(walk.sink.context, {walk.record->chars, walk.record->length});
  walk.record->length = 0;
}

void appendLiteral(LayoutWalk& walk, const LayoutItem& item) {
  if (item.doubledDelimiter == '\0' || walk.record == nullptr) {
    appendText(walk, item.text);
    return;
  }
  appendText(walk, {});
  RecordText& record = *walk.record;
  std::string_view text = item.text;
  for (std::size_t i = 0; i < text.size() && record.length < MAX_RECORD_LENGTH; ++i) {
    record.chars[record.length++] = text[i];
    if (text[i] == item.doubledDelimiter) ++i;  // the parser saw it doubled
  }
}

// Performs one item that is neither a field nor the layout end, and moves past it.
void performItem(LayoutWalk& walk, const LayoutItem& item) {
  switch (item.kind) {
    case LayoutItemKind::LITERAL:
      appendLiteral(walk, item);
      break;
    case LayoutItemKind::BLANKS:
      addBlanks(walk, static_cast<std::size_t>(item.count));
      break;
    case LayoutItemKind::RECORD_BREAK:
      for (std::int32_t i = 0; i < item.count; ++i) endRecord(walk);
      break;
    case LayoutItemKind::SCALE:
      walk.scale = item.count;
      break;
    case LayoutItemKind::GROUP_START:
      walk.groups[walk.groupDepth++] = {walk.position, item.count - 1};
      break;
    case LayoutItemKind::GROUP_END: {
      GroupFrame& group = walk.groups[walk.groupDepth - 1];
      if (group.repeatsLeft > 0) {
        --group.repeatsLeft;
        walk.position = group.start + 1;
        return;
      }
      --walk.groupDepth;
      break;
    }
    default:
      break;
  }
  ++walk.position;
}

/// The shortcut from `start`: none when an item of another kind comes before the next field.
WalkShortcut findShortcut(const RecordLayout& layout, std::int32_t start) {
  constexpr WalkShortcut NONE{-1, 0, 0, false, false};
  WalkShortcut shortcut{-1, 0, 0, false, false};
  std::int32_t position = start;
  for (;;) {
    const LayoutItem& item = layout.items[position];
    if (isField(item.kind)) {
      shortcut.field = position;
      return shortcut;
    }
    switch (item.kind) {
      case LayoutItemKind::BLANKS:
        shortcut.blanks += item.count;
        if (shortcut.blanks > std::int32_t{MAX_RECORD_LENGTH}) {
          shortcut.blanks = std::int32_t{MAX_RECORD_LENGTH};
        }
        ++position;
        break;
      case LayoutItemKind::SCALE:
        shortcut.setsScale = true;
        shortcut.scale = item.count;
        ++position;
        break;
      case LayoutItemKind::LAYOUT_END:
        // A second layout end means no field after the reversion point: the long way reports it.
        if (shortcut.endsRecord || !layout.fieldAfterReversion) return NONE;
        shortcut.endsRecord = true;
        shortcut.blanks = 0;  // the record end drops them
        position = layout.reversionPoint;
        break;
      default:
        return NONE;
    }
  }
}

/// Performs the items up to the next field in one step where the walk started knows how.
void takeShortcut(LayoutWalk& walk) {
  const WalkShortcut& shortcut = walk.shortcuts[walk.position];
  if (shortcut.field < 0) return;
  if (shortcut.endsRecord) endRecord(walk);
  if (shortcut.setsScale) walk.scale = shortcut.scale;
  addBlanks(walk, static_cast<std::size_t>(shortcut.blanks));
  walk.position = shortcut.field;
}

const LayoutItem& takeField(LayoutWalk& walk, const LayoutItem& field) {
  if (walk.fieldRepeatsLeft == 0) walk.fieldRepeatsLeft = field.count;
  if (--walk.fieldRepeatsLeft == 0) ++walk.position;
  return field;
}

/// The long way to the next field, one item at a time; kept apart so that the shortcut's way
/// stays short.
[[gnu::noinline]] const LayoutItem& walkToField(LayoutWalk& walk) {
  const RecordLayout& layout = *walk.layout;
  for (;;) {
    const LayoutItem& item = layout.items[walk.position];
    if (isField(item.kind)) return takeField(walk, item);
    if (item.kind != LayoutItemKind::LAYOUT_END) {
      performItem(walk, item);
      continue;
    }
    // Values remain: without a field after the reversion point this would loop for ever.
    if (!layout.fieldAfterReversion) layoutMisuse("a value has no field", walk.layoutText);
    endRecord(walk);
    walk.position = layout.reversionPoint;
  }
}

}  // namespace

void startWalk(LayoutWalk& walk, const RecordLayout& layout, std::string_view layoutText,
               RecordText* record, RecordSink sink) {
  walk.layout = &layout;
  walk.position = 0;
  walk.fieldRepeatsLeft = 0;
  walk.groupDepth = 0;
  walk.scale = 0;
  walk.plusSign = false;
  walk.record = record;
  if (record != nullptr) record->length = 0;
  walk.pendingBlanks = 0;
  walk.sink = sink;
  walk.layoutText = layoutText;
  for (std::int32_t i = 0; i < layout.itemCount; ++i) walk.shortcuts[i] = findShortcut(layout, i);
}

const LayoutItem& nextField(LayoutWalk& walk) {
  takeShortcut(walk);
  const LayoutItem& item = walk.layout->items[walk.position];
  if (!isField(item.kind)) return walkToField(walk);
  return takeField(walk, item);
}

void finishWalk(LayoutWalk& walk) {
  const RecordLayout& layout = *walk.layout;
  for (;;) {
    const LayoutItem& item = layout.items[walk.position];
    if (isField(item.kind) || item.kind == LayoutItemKind::LAYOUT_END) break;
    performItem(walk, item);
  }
  endRecord(walk);
}

void appendText(LayoutWalk& walk, std::string_view text) {
  if (walk.record == nullptr) {
    walk.pendingBlanks = 0;
    return;
  }
  char* out = fieldSpace(walk);
  std::size_t room = MAX_RECORD_LENGTH - walk.record->length;
  std::size_t n = text.size() < room ? text.size() : room;
  for (std::size_t i = 0; i < n; ++i) out[i] = text[i];
  walk.record->length += n;
}

}  // namespace textio
