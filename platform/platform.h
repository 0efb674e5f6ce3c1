// The operating-system boundary: files, standard streams, arguments, environment, commands, exit.
// Every call goes through one replaceable table so tests can fake the machine or make any call
// fail.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

/// An open file or device; opaque to everything above this layer.
using FileHandle = std::intptr_t;
inline constexpr FileHandle INVALID_HANDLE = -1;

/// Why the operating system refused a call; the I/O layer turns these into report numbers.
enum class Failure {
  NONE,
  NOT_FOUND,
  ACCESS_DENIED,
  ALREADY_EXISTS,
  TOO_MANY_OPEN_FILES,
  INVALID_NAME,
  DISK_FULL,
  OTHER,
};

enum class Access { READ_WRITE, READ_ONLY, WRITE_ONLY };
enum class Disposition { OPEN_EXISTING, CREATE_NEW };
enum class StandardStream { INPUT, OUTPUT, ERROR };

struct OpenResult {
  FileHandle handle;  // INVALID_HANDLE when refused
  Failure failure;
};

/// Bytes moved by one read or write. End of file is fewer bytes than asked and no failure.
struct IoResult {
  std::size_t bytes;
  Failure failure;
};

/// The table of operating-system calls. Names are plain (no backslash mapping is needed by
/// callers: the backend maps every backslash to "/" before the system sees a name).
struct SystemCalls {
  OpenResult (*openFile)(const char* name, Access access, Disposition disposition);
  /// Opens a device by its upper-case device name ("NUL", "PRN", "COM1", "LPT2", ...).
  OpenResult (*openDevice)(const char* deviceName, Access access);
  bool (*fileExists)(const char* name);
  IoResult (*readFile)(FileHandle handle, void* buffer, std::size_t size);
  IoResult (*writeFile)(FileHandle handle, const void* data, std::size_t size);
  /// Cuts the file at its current position if it is longer; the position stays where it was.
  Failure (*truncateHere)(FileHandle handle);
  Failure (*closeFile)(FileHandle handle);
  FileHandle (*standardHandle)(StandardStream stream);
  bool (*isTerminal)(FileHandle handle);
  /// Command-line arguments after the program name: count, and the i-th from 1.
  int (*argumentCount)();
  const char* (*argument)(int index);
  /// nullptr when the variable is not set.
  const char* (*environmentVariable)(const char* name);
  /// Starts program with the given argument vector (argv[0] first, nullptr-terminated),
  /// inheriting the standard handles, and waits for it. False if it could not be started.
  bool (*runProgram)(const char* program, const char* const* argv);
  /// Runs a line through the platform's own command interpreter and waits; false if not started.
  bool (*runShellLine)(const char* line);
  /// Ends the process; a test's replacement may throw instead of returning.
  void (*exitProcess)(int code);
};

/// The calls in force; tests replace entries and restore them with `restoreSystemCalls`.
extern SystemCalls systemCalls;

/// The backend's own table.
const SystemCalls& nativeSystemCalls();
inline void restoreSystemCalls() {
  systemCalls = nativeSystemCalls();
}

/// Asks for large pages behind a big static array, so its first touch costs one page fault
/// rather than hundreds. A hint only: nothing changes when the system declines.
void adviseLargePages(void* start, std::size_t size);

/// Hands the process's command line to the backend; called once by main.
void setCommandLine(int argc, char** argv);

}  // namespace platform
