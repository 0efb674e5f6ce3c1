// File channels: the table of open units, record output to files and devices, closing.
// Opening (names, devices, the three access attempts) lives in open_channel.cpp.
#include "textio/channels.h"

#include <algorithm>
#include <cstring>

#include "textio/channel_table.h"
#include "textio/termination.h"

namespace textio {
namespace {

unsigned char blocks[MAX_CHANNELS][BLOCK_SIZE];
Channel channels[MAX_CHANNELS];
bool consoleLinePending = false;

constexpr std::string_view CRLF = "\r\n";

// A failed write of a file or the console: lack of access is 6421, anything else (a full
// disk above all) 6422.
[[noreturn]] void reportWriteFailure(platform::Failure failure, StatementWord word,
                                     std::string_view name) {
  reportIoError(failure == platform::Failure::ACCESS_DENIED ? 6421 : 6422, word, name);
}

void writeOrReport(platform::FileHandle handle, std::string_view bytes, StatementWord word,
                   std::string_view name) {
  if (bytes.empty()) return;
  platform::IoResult result = platform::systemCalls.writeFile(handle, bytes.data(), bytes.size());
  if (result.failure != platform::Failure::NONE) reportWriteFailure(result.failure, word, name);
  if (result.bytes < bytes.size()) reportWriteFailure(platform::Failure::DISK_FULL, word, name);
}

// Writes the channel's waiting output. The buffer is emptied before a failure is reported, so
// the end of the run does not try the same bytes again.
void flushOutput(Channel& channel, StatementWord word) {
  std::size_t fill = channel.outFill;
  channel.outFill = 0;
  writeOrReport(channel.handle,
                std::string_view(reinterpret_cast<const char*>(channel.block), fill), word,
                channel.name());
}

void appendOutput(Channel& channel, std::string_view bytes) {
  while (!bytes.empty()) {
    if (channel.outFill == BLOCK_SIZE) flushOutput(channel, StatementWord::WRITE);
    std::size_t room = BLOCK_SIZE - channel.outFill;
    std::size_t n = std::min(room, bytes.size());
    std::memcpy(channel.block + channel.outFill, bytes.data(), n);
    channel.outFill += n;
    bytes.remove_prefix(n);
  }
}

// Carriage control of the console and of devices written like it: the first character of a
// record says what goes before the text; the record's own line end is owed until later.
std::string_view controlBytes(char control, bool pending) {
  switch (control) {
    case '0':
      return pending ? std::string_view("\r\n\r\n") : CRLF;
    case '1':
      return std::string_view("\r\n\f\r \r", 6);
    case '+':
      return "\r";
    default:
      return pending ? CRLF : std::string_view();
  }
}

// Records longer than a console line go out in parts of this size, carriage control applying to
// the first part only.
constexpr std::size_t CONSOLE_RECORD = 132;

void writeCarriageRecord(platform::FileHandle handle, bool& pending, std::string_view record,
                         std::string_view name) {
  if (record.empty()) record = " ";
  writeOrReport(handle, controlBytes(record[0], pending), StatementWord::WRITE, name);
  pending = true;
  std::string_view text = record.substr(1);
  bool first = true;
  while (first || !text.empty()) {
    std::size_t n = std::min(text.size(), first ? CONSOLE_RECORD - 1 : CONSOLE_RECORD);
    writeOrReport(handle, text.substr(0, n), StatementWord::WRITE, name);
    text.remove_prefix(n);
    first = false;
  }
}

}  // namespace

Channel* findChannel(UnitNumber unit) {
  for (Channel& channel : channels)
    if (channel.open && channel.unit == unit) return &channel;
  return nullptr;
}

Channel* freeChannel() {
  for (int i = 0; i < MAX_CHANNELS; ++i) {
    if (!channels[i].open) {
      channels[i] = Channel{};
      channels[i].block = blocks[i];
      return &channels[i];
    }
  }
  return nullptr;
}

void writeStandard(platform::StandardStream stream, std::string_view bytes) {
  if (bytes.empty()) return;
  platform::systemCalls.writeFile(platform::systemCalls.standardHandle(stream), bytes.data(),
                                  bytes.size());
}

Channel& channelOf(UnitNumber unit) {
  Channel* channel = findChannel(unit);
  if (channel == nullptr) reportIoError(6416, StatementWord::READ, "");
  return *channel;
}

void writeRecord(UnitNumber unit, std::string_view record) {
  if (unit == CONSOLE_UNIT) {
    writeCarriageRecord(platform::systemCalls.standardHandle(platform::StandardStream::OUTPUT),
                        consoleLinePending, record, "CON");
    return;
  }
  Channel& channel = channelOf(unit);
  if (channel.kind == ChannelKind::DEVICE) {
    writeCarriageRecord(channel.handle, channel.devicePending, record, channel.name());
    return;
  }
  if (!channel.writing) {
    // An existing file keeps its old contents until the first record replaces them.
    platform::Failure failure = platform::systemCalls.truncateHere(channel.handle);
    if (failure != platform::Failure::NONE)
      reportWriteFailure(failure, StatementWord::WRITE, channel.name());
    channel.writing = true;
  }
  if (BLOCK_SIZE - channel.outFill >= record.size() + 2) {
    // The usual case: the record and its line end fit the block as they are.
    std::memcpy(channel.block + channel.outFill, record.data(), record.size());
    channel.outFill += record.size();
    channel.block[channel.outFill++] = '\r';
    channel.block[channel.outFill++] = '\n';
    return;
  }
  appendOutput(channel, record);
  appendOutput(channel, CRLF);
}

void closeChannel(UnitNumber unit) {
  Channel* channel = findChannel(unit);
  if (channel == nullptr) return;
  if (channel->outFill > 0) flushOutput(*channel, StatementWord::CLOSE);
  if (channel->kind == ChannelKind::DEVICE && channel->devicePending) {
    channel->devicePending = false;
    writeOrReport(channel->handle, CRLF, StatementWord::CLOSE, channel->name());
  }
  // The unit is free before the handle goes, so a failure here cannot close it twice.
  channel->open = false;
  if (!channel->standardHandle) platform::systemCalls.closeFile(channel->handle);
}

void closeAllChannels() {
  for (Channel& channel : channels)
    if (channel.open) closeChannel(channel.unit);
  endPendingLine();
}

void endPendingLine() {
  if (consoleLinePending) writeStandard(platform::StandardStream::OUTPUT, CRLF);
}

bool linePending() {
  return consoleLinePending;
}

bool refillBlock(Channel& channel) {
  if (channel.endOfFile) return false;
  platform::IoResult result =
      platform::systemCalls.readFile(channel.handle, channel.block, BLOCK_SIZE);
  if (result.failure != platform::Failure::NONE)
    reportIoError(6500, StatementWord::READ, channel.name());
  channel.inPosition = 0;
  channel.inLength = result.bytes;
  if (result.bytes == 0) {
    channel.endOfFile = true;
    return false;
  }
  return true;
}

void resetChannelsForTesting() {
  for (Channel& channel : channels) channel = Channel{};
  consoleLinePending = false;
  resetArgumentsForTesting();
}

}  // namespace textio
