// How a run ends: the stop, the pause with its command escape, run-time error reports and the
// floating-point and math-function reports. Every end closes the channels and exits once.
#pragma once

#include <string_view>

namespace textio {

enum class StatementWord { OPEN, READ, WRITE, CLOSE, MATH };

struct RunTimeError {
  char letter;  // 'F' for I/O, 'M' for floating point and math functions
  int number;
  StatementWord word;
  std::string_view fileName;     // unused for MATH
  std::string_view description;  // one line, may be empty
};

/// Writes the report to standard error and ends the run with exit code 1.
[[noreturn]] void reportRunTimeError(const RunTimeError& error);

/// An I/O failure: letter F, the number's own description.
[[noreturn]] void reportIoError(int number, StatementWord word, std::string_view fileName);

/// The fixed one-line description of an F number ("" for an unknown number).
std::string_view ioErrorDescription(int number);

enum class FloatingPointFault { INVALID, DIVIDE_BY_ZERO, OVERFLOW };
[[noreturn]] void reportFloatingPointError(FloatingPointFault fault);

enum class MathErrorKind { DOMAIN, SING, OVERFLOW, TLOSS };
/// A math function's own error, e.g. ("**", OVERFLOW) gives M6203 "**: OVERFLOW error".
[[noreturn]] void reportMathError(std::string_view functionName, MathErrorKind kind);

/// The stop without text: "Stop - Program terminated.", exit code 0.
[[noreturn]] void stopRun();
/// The stop with a text of its own, shown as it stands; exit code 0.
[[noreturn]] void stopRun(std::string_view text);

/// The pause: prompt, one line from standard input, and a command run if the line asks for one.
void pauseRun();

/// Runs one command line through the command interpreter and waits for it; never fails.
void runCommand(std::string_view line);

/// Every orderly end: close all channels, pay the owed console line end, exit with `code`.
/// A second end while the first is at work exits at once with the first end's code.
[[noreturn]] void endRun(int code);

/// Lets an in-process test run the layer again after an end (clears the "ended" state).
void resetTerminationForTesting();

}  // namespace textio
