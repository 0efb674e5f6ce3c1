// Fixed-length texts: a declared length, blank-filled on the right, positions counted from 1.
// Paths, the output folder and the output name of the converter are such texts.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace textio {

/// A writable view of a fixed-length text (what a read statement fills).
struct TextItem {
  char* chars;
  std::size_t length;
};

template <std::size_t N>
struct FixedText {
  static constexpr std::size_t LENGTH = N;
  char chars[N];

  FixedText() { std::fill_n(chars, N, ' '); }
  explicit FixedText(std::string_view text) { assign(text); }

  /// A shorter text is blank-filled, a longer one cut.
  void assign(std::string_view text) {
    std::size_t n = std::min(text.size(), N);
    std::copy_n(text.data(), n, chars);
    std::fill(chars + n, chars + N, ' ');
  }
  char& at(std::size_t position) { return chars[position - 1]; }
  char at(std::size_t position) const { return chars[position - 1]; }
  /// Positions first..last; empty when last lies before first.
  std::string_view substring(std::size_t first, std::size_t last) const {
    if (last < first) return {};
    return {chars + first - 1, last - first + 1};
  }
  std::string_view view() const { return {chars, N}; }
  TextItem item() { return {chars, N}; }
};

}  // namespace textio
