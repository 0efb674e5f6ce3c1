// Reading one answer line from standard input, for the file-name prompt and the pause.
// A terminal gives one delivery per line; a file or pipe is read byte by byte up to the line end.
#include "textio/channels.h"
#include "textio/termination.h"

namespace textio {
namespace {

platform::FileHandle standardInput() {
  return platform::systemCalls.standardHandle(platform::StandardStream::INPUT);
}

// One byte, or -1 at end of input.
int readByte(platform::FileHandle input) {
  unsigned char byte;
  platform::IoResult result = platform::systemCalls.readFile(input, &byte, 1);
  if (result.failure != platform::Failure::NONE) reportIoError(6500, StatementWord::READ, "CON");
  return result.bytes == 1 ? byte : -1;
}

}  // namespace

std::size_t readConsoleLine(char* buffer, std::size_t limit) {
  platform::FileHandle input = standardInput();
  if (platform::systemCalls.isTerminal(input)) {
    platform::IoResult result = platform::systemCalls.readFile(input, buffer, limit);
    if (result.failure != platform::Failure::NONE) reportIoError(6500, StatementWord::READ, "CON");
    // An end of input typed at the terminal would otherwise ask again for ever.
    if (result.bytes == 0) reportIoError(6501, StatementWord::READ, "CON");
    std::size_t length = result.bytes;
    if (length > 0 && buffer[length - 1] == '\n') --length;
    if (length > 0 && buffer[length - 1] == '\r') --length;
    return length;
  }
  int byte = readByte(input);
  if (byte < 0) reportIoError(6501, StatementWord::READ, "CON");
  std::size_t length = 0;
  while (byte >= 0 && byte != '\n') {
    if (byte == '\r') {
      readByte(input);  // a CR takes the byte after it along
      break;
    }
    if (length < limit) buffer[length++] = static_cast<char>(byte);
    byte = readByte(input);
  }
  return length;
}

}  // namespace textio
