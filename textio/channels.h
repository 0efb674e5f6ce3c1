// File channels known by unit number, and the console with its carriage control.
// Opening, record output with CR LF, block buffering, closing; failures end the run here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/platform.h"

namespace textio {

using UnitNumber = std::int32_t;

/// The console (standard output) as a target of write statements; never a real unit number.
inline constexpr UnitNumber CONSOLE_UNIT = INT32_MIN;

/// File channels read and write in blocks of this size; no byte of any file depends on it.
inline constexpr std::size_t BLOCK_SIZE = 65536;

/// Longest file name a channel keeps.
inline constexpr std::size_t MAX_FILE_NAME = 259;

/// Channels that may be open at once besides the console.
inline constexpr int MAX_CHANNELS = 4;

enum class ChannelForm { FORMATTED, BINARY };

/// Where a channel's bytes go: a file, or a device written like the console.
enum class ChannelKind { FILE, DEVICE };

struct Channel {
  bool open = false;
  UnitNumber unit = 0;
  char fileName[MAX_FILE_NAME + 1] = {};
  std::size_t fileNameLength = 0;
  ChannelForm form = ChannelForm::FORMATTED;
  ChannelKind kind = ChannelKind::FILE;
  platform::FileHandle handle = platform::INVALID_HANDLE;
  bool standardHandle = false;  // CON and ERR: never closed by us
  bool writing = false;
  bool devicePending = false;  // a device's own owed line end
  // One block serves both directions; a channel of this system is either read or written.
  unsigned char* block = nullptr;
  std::size_t outFill = 0;     // bytes of output waiting in the block
  std::size_t inLength = 0;    // bytes of input in the block
  std::size_t inPosition = 0;  // next input byte to deliver
  bool endOfFile = false;      // a refill delivered no bytes

  std::string_view name() const { return {fileName, fileNameLength}; }
};

/// Opens `unit` on `name` (blanks around it ignored; a blank name is taken from the
/// command-line arguments, then asked for). `status` is "OLD" or "UNKNOWN"; `form` is empty
/// (formatted) or "binary", in any case. Returns only with the channel open.
void openChannel(UnitNumber unit, std::string_view name, std::string_view status,
                 std::string_view form = {});

/// Hands one ended record to a formatted file channel or to the console (CONSOLE_UNIT).
/// `statementWord` is the word a failure report shows (": WRITE(" normally).
void writeRecord(UnitNumber unit, std::string_view record);

/// Closes the channel, writing its buffered output first; the file stays on disk.
void closeChannel(UnitNumber unit);

/// Closes every open channel, then pays the console's owed line end. Once per run, at its end.
void closeAllChannels();

/// Writes CR LF to standard output if a console record has been written; the mark stays.
void endPendingLine();

/// True once the first console record has been written.
bool linePending();

/// Reads one line from standard input into `buffer` (at most `limit` bytes kept), without its
/// line end. Ends the run with F6501 when standard input has no byte left.
std::size_t readConsoleLine(char* buffer, std::size_t limit);

/// The open channel of `unit`; ends the run if there is none.
Channel& channelOf(UnitNumber unit);

/// Reads the next block of a channel's file. False at end of file (and the mark is set);
/// a read failure ends the run with F6500.
bool refillBlock(Channel& channel);

/// Writes all bytes to a standard stream, ignoring failures (reports and messages must not
/// fail in turn).
void writeStandard(platform::StandardStream stream, std::string_view bytes);

/// Forgets every channel and the console's mark without touching any file; for tests that run
/// the layer more than once in one process.
void resetChannelsForTesting();

}  // namespace textio
