// A test-only program that drives the I/O layer from a script, for behaviour of channels and
// the end of the run that the converter itself cannot reach. The script comes from IODRIVER:
// one operation a line, fields separated by tabs:
//   console TEXT | open UNIT NAME STATUS [FORM] | write UNIT TEXT | close UNIT | pause | stop
//   [TEXT] fpe invalid|divide|overflow | math
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "textio/channels.h"
#include "textio/termination.h"

namespace {

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

void perform(const std::vector<std::string>& op) {
  const std::string& verb = op[0];
  auto field = [&](std::size_t i) { return i < op.size() ? op[i] : std::string(); };
  if (verb == "console") {
    textio::writeRecord(textio::CONSOLE_UNIT, field(1));
  } else if (verb == "open") {
    textio::openChannel(std::atoi(field(1).c_str()), field(2), field(3), field(4));
  } else if (verb == "write") {
    textio::writeRecord(std::atoi(field(1).c_str()), field(2));
  } else if (verb == "close") {
    textio::closeChannel(std::atoi(field(1).c_str()));
  } else if (verb == "pause") {
    textio::pauseRun();
  } else if (verb == "stop") {
    if (op.size() > 1) textio::stopRun(field(1));
    textio::stopRun();
  } else if (verb == "fpe") {
    if (field(1) == "invalid")
      textio::reportFloatingPointError(textio::FloatingPointFault::INVALID);
    if (field(1) == "divide")
      textio::reportFloatingPointError(textio::FloatingPointFault::DIVIDE_BY_ZERO);
    textio::reportFloatingPointError(textio::FloatingPointFault::OVERFLOW);
  } else if (verb == "math") {
    textio::reportMathError("**", textio::MathErrorKind::OVERFLOW);
  }
}

}  // namespace

int main(int argc, char** argv) {
  platform::setCommandLine(argc, argv);
  const char* script = std::getenv("IODRIVER");
  for (const std::string& line : split(script == nullptr ? "" : script, '\n'))
    if (!line.empty()) perform(split(line, '\t'));
  textio::endRun(0);
}
