// The read statement with a layout: the layout walk decides which field reads each item, and
// every record it ends moves the channel to the start of its next line.
#include "textio/control_read.h"
#include "textio/layout.h"

namespace textio {
namespace {

// One statement runs at a time; its parsed layout lives here, never on the heap.
RecordLayout statementLayout;

void nextLine(void* context, std::string_view) {
  endRecord(*static_cast<Channel*>(context));
}

[[noreturn]] void wrongKind(const LayoutWalk& walk) {
  layoutMisuse("an item meets a field of another kind", walk.layoutText);
}

// Blank items in front of a field skip columns of the line, never beyond its end.
void skipColumns(Channel& channel, LayoutWalk& walk) {
  for (; walk.pendingBlanks > 0; --walk.pendingBlanks) {
    unsigned char c = nextChar(channel);
    if (c == CARRIAGE_RETURN || c == LINE_FEED) {
      putBackChar(channel);
      walk.pendingBlanks = 0;
      return;
    }
  }
}

void readItem(Channel& channel, LayoutWalk& walk, const ReadItem& item) {
  const LayoutItem& field = nextField(walk);
  skipColumns(channel, walk);
  if (item.kind == ReadItem::Kind::TEXT) {
    if (field.kind != LayoutItemKind::TEXT_FIELD) wrongKind(walk);
    readTextField(channel, item.text, static_cast<std::size_t>(field.w));
    return;
  }
  if (field.kind != LayoutItemKind::FIXED_FIELD && field.kind != LayoutItemKind::EXPONENT_FIELD)
    wrongKind(walk);
  *item.real = readRealField(channel, field.w, field.d, walk.scale);
}

template <typename Item>
void readStatement(UnitNumber unit, std::string_view layout, std::span<const Item> items) {
  Channel& channel = channelOf(unit);
  parseLayout(layout, statementLayout);
  LayoutWalk walk;
  startWalk(walk, statementLayout, layout, nullptr, {nextLine, &channel});
  for (const Item& item : items) readItem(channel, walk, ReadItem(item));
  finishWalk(walk);
}

}  // namespace

void formattedRead(UnitNumber unit, std::string_view layout, std::span<const ReadItem> items) {
  readStatement(unit, layout, items);
}

void formattedRead(UnitNumber unit, std::string_view layout,
                   std::initializer_list<ReadItem> items) {
  readStatement(unit, layout, std::span<const ReadItem>(items.begin(), items.size()));
}

void formattedRead(UnitNumber unit, std::string_view layout, std::span<const TextItem> items) {
  readStatement(unit, layout, items);
}

}  // namespace textio
