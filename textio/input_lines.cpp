// Input lines of a formatted channel: bytes in file order across block refills, the line end
// supplied for a last line without one, and the record advance.
#include "textio/control_read.h"

#include <cstring>

#include "textio/termination.h"

namespace textio {

unsigned char nextChar(Channel& channel) {
  if (channel.inPosition < channel.inLength) return channel.block[channel.inPosition++];
  if (!channel.endOfFile) {
    // The refill forgets the block, so its last byte is looked at first: a file whose last line
    // has no LF still ends with a complete line. An empty file gets none.
    bool lineOpen = channel.inLength > 0 && channel.block[channel.inLength - 1] != LINE_FEED;
    if (refillBlock(channel)) return channel.block[channel.inPosition++];
    if (lineOpen) {
      channel.block[0] = LINE_FEED;
      channel.inLength = 1;
      channel.inPosition = 1;
      return LINE_FEED;
    }
  }
  reportIoError(6501, StatementWord::READ, channel.name());
}

void endRecord(Channel& channel) {
  for (;;) {
    if (channel.inPosition < channel.inLength) {
      const unsigned char* rest = channel.block + channel.inPosition;
      const void* lf = std::memchr(rest, LINE_FEED, channel.inLength - channel.inPosition);
      if (lf != nullptr) {
        channel.inPosition += static_cast<const unsigned char*>(lf) - rest + 1;
        return;
      }
      channel.inPosition = channel.inLength;
    }
    if (nextChar(channel) == LINE_FEED) return;
  }
}

}  // namespace textio
