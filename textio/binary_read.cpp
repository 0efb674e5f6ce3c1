// Read statements on binary channels: items spanning two blocks, and the end of the file with
// and without an end-of-file branch.
#include "textio/binary_read.h"

#include <algorithm>

#include "textio/termination.h"

namespace textio {

ReadOutcome binaryReadSpanning(Channel& channel, bool endOfFileBranch, void* target,
                               std::size_t width) {
  auto* bytes = static_cast<unsigned char*>(target);
  std::size_t filled = 0;
  while (filled < width) {
    std::size_t take = std::min(channel.inLength - channel.inPosition, width - filled);
    if (take != 0) {
      std::memcpy(bytes + filled, channel.block + channel.inPosition, take);
      channel.inPosition += take;
      filled += take;
      continue;
    }
    // The bytes already stored stay in the item: a caller with a branch must not use it.
    if (!refillBlock(channel)) {
      if (endOfFileBranch) return ReadOutcome::END_OF_FILE;
      reportIoError(6501, StatementWord::READ, channel.name());
    }
  }
  return ReadOutcome::COMPLETED;
}

ReadOutcome binaryRead(Channel& channel, bool endOfFileBranch,
                       std::initializer_list<BinaryItem> items) {
  for (const BinaryItem& item : items) {
    if (binaryReadItem(channel, endOfFileBranch, item.target, item.width) ==
        ReadOutcome::END_OF_FILE)
      return ReadOutcome::END_OF_FILE;
  }
  return ReadOutcome::COMPLETED;
}

ReadOutcome binaryRead(UnitNumber unit, bool endOfFileBranch,
                       std::initializer_list<BinaryItem> items) {
  return binaryRead(channelOf(unit), endOfFileBranch, items);
}

}  // namespace textio
