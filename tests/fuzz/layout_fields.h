// Helpers of the layout fuzz targets: which field kinds a parsed layout hands out, in order, and
// how much work one pass over it costs, so inputs are only given values their fields accept.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "textio/layout.h"

namespace fuzzsupport {

/// The cost of a walk is bounded by this many items performed; a layout asking for more (say
/// "(32767(32767/))", a thousand million records) is skipped rather than walked.
inline constexpr std::uint64_t MAX_WALK_WORK = 2'000'000;

/// Visits each item with the number of times one pass performs it: the product of the counts
/// of its open groups, saturated well above anything a fuzz input may be walked through.
template <typename Visit>
void forEachItem(const textio::RecordLayout& layout, Visit visit) {
  constexpr std::uint64_t CAP = std::uint64_t{1} << 40;
  std::uint64_t factors[textio::MAX_GROUP_DEPTH + 1] = {1};
  int depth = 0;
  for (std::int32_t i = 0; i < layout.itemCount; ++i) {
    const textio::LayoutItem& item = layout.items[i];
    visit(i, item, factors[depth]);  // a group's end is performed once per pass of the group
    if (item.kind == textio::LayoutItemKind::GROUP_END) --depth;
    if (item.kind == textio::LayoutItemKind::GROUP_START) {
      std::uint64_t count = static_cast<std::uint64_t>(std::max(item.count, 1));
      factors[depth + 1] = std::min(CAP, factors[depth] * count);
      ++depth;
    }
  }
}

/// Items performed by one whole pass, record breaks and literal characters counted singly.
inline std::uint64_t passWork(const textio::RecordLayout& layout) {
  std::uint64_t work = 0;
  forEachItem(layout, [&](std::int32_t, const textio::LayoutItem& item, std::uint64_t factor) {
    std::uint64_t each = 1;
    if (item.kind == textio::LayoutItemKind::RECORD_BREAK)
      each = static_cast<std::uint64_t>(item.count);
    if (item.kind == textio::LayoutItemKind::LITERAL) each += item.text.size();
    work += factor * each;
  });
  return work;
}

/// How many values the layout can place before it would have no field for the next one.
inline std::uint64_t fieldsAvailable(const textio::RecordLayout& layout) {
  if (layout.fieldAfterReversion) return UINT64_MAX;
  std::uint64_t fields = 0;
  forEachItem(layout, [&](std::int32_t, const textio::LayoutItem& item, std::uint64_t factor) {
    if (textio::isField(item.kind)) fields += factor * static_cast<std::uint64_t>(item.count);
  });
  return fields;
}

/// Aborts unless the parsed items hang together: a layout end last, groups linked both ways,
/// the reversion point inside the layout.
inline void checkParsed(const textio::RecordLayout& layout) {
  using textio::LayoutItemKind;
  if (layout.itemCount < 1 || layout.itemCount > textio::MAX_LAYOUT_ITEMS) std::abort();
  if (layout.items[layout.itemCount - 1].kind != LayoutItemKind::LAYOUT_END) std::abort();
  if (layout.reversionPoint < 0 || layout.reversionPoint >= layout.itemCount) std::abort();
  for (std::int32_t i = 0; i < layout.itemCount; ++i) {
    const textio::LayoutItem& item = layout.items[i];
    if (item.kind == LayoutItemKind::LAYOUT_END && i != layout.itemCount - 1) std::abort();
    if (item.kind != LayoutItemKind::GROUP_START && item.kind != LayoutItemKind::GROUP_END)
      continue;
    if (item.link < 0 || item.link >= layout.itemCount) std::abort();
    if (layout.items[item.link].link != i) std::abort();
  }
}

/// The kinds of the first `count` fields a statement's walk meets (count <= fieldsAvailable).
inline void fieldKinds(const textio::RecordLayout& layout, std::string_view text,
                       textio::LayoutItemKind* kinds, int count) {
  textio::LayoutWalk walk;
  textio::startWalk(walk, layout, text, nullptr, {[](void*, std::string_view) {}, nullptr});
  for (int i = 0; i < count; ++i) kinds[i] = textio::nextField(walk).kind;
}

}  // namespace fuzzsupport
