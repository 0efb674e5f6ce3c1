// Read statements on channels opened with the binary form: each item takes the next bytes of the
// file unchanged, copied out of the channel's block; end of file is an outcome or a report.
#pragma once

#include <cstddef>
#include <cstring>
#include <initializer_list>

#include "textio/channels.h"

namespace textio {

enum class ReadOutcome { COMPLETED, END_OF_FILE };

/// One item of a read statement: `width` bytes stored at `target` as they stand in the file.
struct BinaryItem {
  void* target;
  std::size_t width;
};

/// One read statement on the binary channel of `unit`. Returns COMPLETED when every item is
/// filled. When the file ends first: with `endOfFileBranch`, returns END_OF_FILE at once (the
/// item being read holds a mix of new and earlier bytes, later items are untouched); without
/// it, ends the run with F6501. A read failure ends the run with F6500 either way.
ReadOutcome binaryRead(UnitNumber unit, bool endOfFileBranch,
                       std::initializer_list<BinaryItem> items);

/// The same statement on a channel already looked up.
ReadOutcome binaryRead(Channel& channel, bool endOfFileBranch,
                       std::initializer_list<BinaryItem> items);

/// The part of an item the block cannot give at once: it spans two blocks or meets the end.
ReadOutcome binaryReadSpanning(Channel& channel, bool endOfFileBranch, void* target,
                               std::size_t width);

/// A statement of one item, as `binaryRead`. Inline so that an item already in the block costs
/// a copy and nothing else; with a constant `width` the copy is a single move.
inline ReadOutcome binaryReadItem(Channel& channel, bool endOfFileBranch, void* target,
                                  std::size_t width) {
  if (width != 0 && channel.inLength - channel.inPosition >= width) [[likely]] {
    std::memcpy(target, channel.block + channel.inPosition, width);
    channel.inPosition += width;
    return ReadOutcome::COMPLETED;
  }
  return binaryReadSpanning(channel, endOfFileBranch, target, width);
}

}  // namespace textio
