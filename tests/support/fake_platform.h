// An in-memory machine for tests: files, devices, standard streams, arguments, environment,
// commands, and failures injected into any call. Installed in place of the real system calls.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace testsupport {

struct FakeFile {
  std::string bytes;
  bool readOnly = false;  // the open asking for write access is refused
};

/// The state of the fake machine; one instance at a time is installed.
struct FakeMachine {
  std::map<std::string, FakeFile> files;  // by name as the layer passes it
  std::vector<std::string> folders;       // names of folders that exist (for creating files)
  std::string standardInput;
  bool inputIsTerminal = false;
  std::string standardOutput;
  std::string standardError;
  std::vector<std::string> arguments;  // after the program name
  std::map<std::string, std::string> environment;
  std::vector<std::string> commands;  // every program or shell line started, as "prog|arg|arg"
  std::vector<std::string> calls;     // every call by name, in order
  int writeCalls = 0;                 // writes to files (not standard streams)
  int readCalls = 0;                  // reads of files (not standard input)
  /// Consulted before every call; a failure other than NONE makes that call fail.
  std::function<platform::Failure(const std::string& call, const std::string& name)> failWith;
  /// Writes into files succeed for at most this many more bytes (then the disk is full).
  std::int64_t diskSpace = INT64_MAX;
};

/// Installs `machine` as the platform and clears the layer's state; restores on destruction.
class FakePlatform {
 public:
  explicit FakePlatform(FakeMachine& machine);
  ~FakePlatform();
  FakePlatform(const FakePlatform&) = delete;
  FakePlatform& operator=(const FakePlatform&) = delete;
};

/// The outcome of running a piece of the layer in process until the run ends.
struct RunOutcome {
  bool ended = false;  // false if the body returned without ending the run
  int exitCode = -1;
};

/// Runs `body`; an end of the run (stop, report) is caught after its cleanup.
RunOutcome runUntilEnd(const std::function<void()>& body);

/// Shows CR, LF and other control bytes, for readable failure messages.
std::string visible(const std::string& bytes);

}  // namespace testsupport
