// The stop, the pause, the run-time error report and the one end of every run.
// Reports go to standard error as bytes; the end closes every channel before the exit.
#include "textio/termination.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "textio/channels.h"

namespace textio {
namespace {

bool ending = false;
int endingCode = 0;

constexpr std::string_view CRLF = "\r\n";

std::string_view wordText(StatementWord word) {
  switch (word) {
    case StatementWord::OPEN:
      return ": OPEN(";
    case StatementWord::READ:
      return ": READ(";
    case StatementWord::WRITE:
      return ": WRITE(";
    case StatementWord::CLOSE:
      return ": CLOSE(";
    case StatementWord::MATH:
    default:
      return ": MATH\r\n- ";
  }
}

// Assembles a report in one piece so it reaches standard error in one write.
struct ReportText {
  char bytes[1024];
  std::size_t length = 0;
  void append(std::string_view text) {
    std::size_t n = std::min(text.size(), sizeof bytes - length);
    std::copy_n(text.data(), n, bytes + length);
    length += n;
  }
};

void writeOut(std::string_view text) {
  writeStandard(platform::StandardStream::OUTPUT, text);
}

}  // namespace

void endRun(int code) {
  if (!ending) {
    ending = true;
    endingCode = code;
    closeAllChannels();
  }
  platform::systemCalls.exitProcess(endingCode);
  std::abort();  // the exit never comes back
}

void reportRunTimeError(const RunTimeError& error) {
  ReportText report;
  report.append(CRLF);
  report.append("run-time error ");
  char number[8];
  int length = std::snprintf(number, sizeof number, "%c%04d", error.letter, error.number);
  report.append(std::string_view(number, length));
  report.append(wordText(error.word));
  if (error.word != StatementWord::MATH) {
    report.append(error.fileName);
    report.append(error.description.empty() ? ")\r\n" : ")\r\n- ");
  }
  report.append(error.description);
  report.append(CRLF);
  writeStandard(platform::StandardStream::ERROR, std::string_view(report.bytes, report.length));
  // A failure while the run is already ending is shown, but the first end's code stands.
  endRun(1);
}

void reportIoError(int number, StatementWord word, std::string_view fileName) {
  reportRunTimeError({'F', number, word, fileName, ioErrorDescription(number)});
}

void reportFloatingPointError(FloatingPointFault fault) {
  switch (fault) {
    case FloatingPointFault::INVALID:
      reportRunTimeError({'M', 6101, StatementWord::MATH, {}, "floating-point error: invalid"});
    case FloatingPointFault::DIVIDE_BY_ZERO:
      reportRunTimeError(
          {'M', 6103, StatementWord::MATH, {}, "floating-point error: divide by zero"});
    case FloatingPointFault::OVERFLOW:
    default:
      reportRunTimeError({'M', 6104, StatementWord::MATH, {}, "floating-point error: overflow"});
  }
}

void reportMathError(std::string_view functionName, MathErrorKind kind) {
  int number = 6201;
  std::string_view text = "DOMAIN";
  switch (kind) {
    case MathErrorKind::DOMAIN:
      break;
    case MathErrorKind::SING:
      number = 6202, text = "SING";
      break;
    case MathErrorKind::OVERFLOW:
      number = 6203, text = "OVERFLOW";
      break;
    case MathErrorKind::TLOSS:
      number = 6205, text = "TLOSS";
      break;
  }
  ReportText description;
  description.append(functionName);
  description.append(": ");
  description.append(text);
  description.append(" error");
  reportRunTimeError({'M',
                      number,
                      StatementWord::MATH,
                      {},
                      std::string_view(description.bytes, description.length)});
}

void stopRun() {
  stopRun("Stop - Program terminated.");
}

void stopRun(std::string_view text) {
  endPendingLine();
  writeOut(text);
  writeOut(CRLF);
  endRun(0);
}

void pauseRun() {
  endPendingLine();
  writeOut("Pause - Please enter a blank line (to continue) or a DOS command.\r\n");
  char line[128];
  std::size_t length = readConsoleLine(line, sizeof line);
  while (length > 0 && (line[length - 1] == ' ' || line[length - 1] == '\t')) --length;
  // An empty line, or one of a single character, just continues.
  if (length <= 1) return;
  runCommand(std::string_view(line, length));
}

void runCommand(std::string_view line) {
  char command[sizeof(ReportText::bytes)];
  std::size_t n = std::min(line.size(), sizeof command - 1);
  std::copy_n(line.data(), n, command);
  command[n] = '\0';
  const char* interpreter = platform::systemCalls.environmentVariable("COMSPEC");
  if (interpreter != nullptr) {
    const char* argv[] = {interpreter, "/c", command, nullptr};
    if (platform::systemCalls.runProgram(interpreter, argv)) return;
  }
  platform::systemCalls.runShellLine(command);
}

void resetTerminationForTesting() {
  ending = false;
  endingCode = 0;
}

}  // namespace textio
