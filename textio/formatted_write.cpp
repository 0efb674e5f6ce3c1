// The write statement: parse the layout once, walk it against the values, render each field
// in place in one static record buffer, and hand every ended record on.
#include "textio/formatted_write.h"

#include "textio/real_field.h"
#include "textio/text_fields.h"

namespace textio {
namespace {

// One statement runs at a time; its record is built here, never on the heap.
RecordText statementRecord;
RecordLayout statementLayout;

void toChannel(void* context, std::string_view text) {
  writeRecord(*static_cast<const UnitNumber*>(context), text);
}

[[noreturn]] void wrongKind(const LayoutWalk& walk) {
  layoutMisuse("a value meets a field of another kind", walk.layoutText);
}

inline void placeReal(LayoutWalk& walk, double value) {
  const LayoutItem& item = nextField(walk);
  char* out = fieldSpace(walk);
  if (item.kind == LayoutItemKind::FIXED_FIELD) {
    renderFixed(out, value, item.w, item.d, walk.scale, walk.plusSign);
  } else if (item.kind == LayoutItemKind::EXPONENT_FIELD) {
    renderExponent(out, value, item.w, item.d, item.e, walk.scale, walk.plusSign);
  } else {
    wrongKind(walk);
  }
  commitField(walk, static_cast<std::size_t>(item.w));
}

void placeValue(LayoutWalk& walk, const WriteValue& value) {
  if (value.kind == WriteValue::Kind::REAL) {
    placeReal(walk, value.real);
    return;
  }
  const LayoutItem& item = nextField(walk);
  if (value.kind == WriteValue::Kind::INTEGER) {
    if (item.kind != LayoutItemKind::INTEGER_FIELD) wrongKind(walk);
    renderInteger(fieldSpace(walk), value.integer, item.w, item.d, walk.plusSign);
    commitField(walk, static_cast<std::size_t>(item.w));
    return;
  }
  if (item.kind != LayoutItemKind::TEXT_FIELD) wrongKind(walk);
  if (item.w == 0) {
    appendText(walk, value.text);
    return;
  }
  renderText(fieldSpace(walk), value.text, item.w);
  commitField(walk, static_cast<std::size_t>(item.w));
}

void startStatement(LayoutWalk& walk, RecordSink sink, std::string_view layout) {
  parseLayout(layout, statementLayout);
  startWalk(walk, statementLayout, layout, &statementRecord, sink);
}

}  // namespace

void formattedWriteTo(RecordSink sink, std::string_view layout, const WriteValue* values,
                      std::size_t count) {
  LayoutWalk walk;
  startStatement(walk, sink, layout);
  for (std::size_t i = 0; i < count; ++i) placeValue(walk, values[i]);
  finishWalk(walk);
}

void formattedWritePairsTo(RecordSink sink, std::string_view layout, const double* first,
                           const double* second, std::int32_t count) {
  LayoutWalk walk;
  startStatement(walk, sink, layout);
  for (std::int32_t i = 0; i < count; ++i) {
    placeReal(walk, first[i]);
    placeReal(walk, second[i]);
  }
  finishWalk(walk);
}

void formattedWrite(UnitNumber unit, std::string_view layout,
                    std::initializer_list<WriteValue> values) {
  formattedWriteTo({toChannel, &unit}, layout, values.begin(), values.size());
}

void formattedWritePairs(UnitNumber unit, std::string_view layout, const double* first,
                         const double* second, std::int32_t count) {
  formattedWritePairsTo({toChannel, &unit}, layout, first, second, count);
}

}  // namespace textio
