// The in-memory machine behind FakePlatform: every system call of the layer, on plain maps.
// Failures come from the machine's failWith hook; the exit throws so a test can look afterwards.
#include "support/fake_platform.h"

#include <algorithm>
#include <cstring>

#include "textio/channels.h"
#include "textio/termination.h"

namespace testsupport {
namespace {

using platform::Failure;
using platform::FileHandle;

struct RunEnded {
  int code;
};

struct OpenFile {
  std::string name;  // empty for the null device
  std::size_t position = 0;
  platform::Access access = platform::Access::READ_WRITE;
};

FakeMachine* machine = nullptr;
std::map<FileHandle, OpenFile> handles;
FileHandle nextHandle = 100;
std::size_t inputPosition = 0;

constexpr FileHandle STDIN = 0, STDOUT = 1, STDERR = 2;

std::string mapped(const char* name) {
  std::string result = name;
  std::replace(result.begin(), result.end(), '\\', '/');
  return result;
}

Failure injected(const std::string& call, const std::string& name) {
  machine->calls.push_back(call + "(" + name + ")");
  return machine->failWith ? machine->failWith(call, name) : Failure::NONE;
}

bool folderExists(const std::string& name) {
  std::size_t slash = name.rfind('/');
  if (slash == std::string::npos) return true;
  std::string folder = name.substr(0, slash);
  return std::find(machine->folders.begin(), machine->folders.end(), folder) !=
         machine->folders.end();
}

platform::OpenResult fakeOpenFile(const char* rawName, platform::Access access,
                                  platform::Disposition disposition) {
  std::string name = mapped(rawName);
  if (Failure f = injected("openFile", name); f != Failure::NONE) return {-1, f};
  if (name.empty()) return {-1, Failure::NOT_FOUND};
  auto found = machine->files.find(name);
  if (disposition == platform::Disposition::OPEN_EXISTING) {
    if (found == machine->files.end()) return {-1, Failure::NOT_FOUND};
    if (found->second.readOnly && access != platform::Access::READ_ONLY)
      return {-1, Failure::ACCESS_DENIED};
  } else {
    if (found != machine->files.end()) return {-1, Failure::ALREADY_EXISTS};
    if (!folderExists(name)) return {-1, Failure::NOT_FOUND};
    machine->files[name] = FakeFile{};
  }
  handles[nextHandle] = OpenFile{name, 0, access};
  return {nextHandle++, Failure::NONE};
}

platform::OpenResult fakeOpenDevice(const char* device, platform::Access access) {
  if (Failure f = injected("openDevice", device); f != Failure::NONE) return {-1, f};
  if (std::strcmp(device, "NUL") != 0) return {-1, Failure::NOT_FOUND};
  handles[nextHandle] = OpenFile{"", 0, access};
  return {nextHandle++, Failure::NONE};
}

bool fakeFileExists(const char* rawName) {
  std::string name = mapped(rawName);
  if (injected("fileExists", name) != Failure::NONE) return false;
  return machine->files.count(name) > 0;
}

platform::IoResult fakeRead(FileHandle handle, void* buffer, std::size_t size) {
  if (handle == STDIN) {
    std::size_t n = std::min(size, machine->standardInput.size() - inputPosition);
    if (machine->inputIsTerminal) {
      // A terminal delivers one line at a time.
      std::size_t end = machine->standardInput.find('\n', inputPosition);
      if (end != std::string::npos) n = std::min(n, end + 1 - inputPosition);
    }
    std::memcpy(buffer, machine->standardInput.data() + inputPosition, n);
    inputPosition += n;
    return {n, Failure::NONE};
  }
  // The console's output handles (devices CON and ERR) cannot be read.
  if (handle == STDOUT || handle == STDERR) return {0, Failure::ACCESS_DENIED};
  OpenFile& file = handles.at(handle);
  ++machine->readCalls;
  if (Failure f = injected("readFile", file.name); f != Failure::NONE) return {0, f};
  if (file.name.empty()) return {0, Failure::NONE};
  if (file.access == platform::Access::WRITE_ONLY) return {0, Failure::ACCESS_DENIED};
  const std::string& bytes = machine->files[file.name].bytes;
  std::size_t n = file.position >= bytes.size() ? 0 : std::min(size, bytes.size() - file.position);
  std::memcpy(buffer, bytes.data() + file.position, n);
  file.position += n;
  return {n, Failure::NONE};
}

platform::IoResult fakeWrite(FileHandle handle, const void* data, std::size_t size) {
  const char* bytes = static_cast<const char*>(data);
  if (handle == STDOUT || handle == STDERR) {
    if (Failure f = injected("writeStandard", handle == STDOUT ? "stdout" : "stderr");
        f != Failure::NONE)
      return {0, f};
    (handle == STDOUT ? machine->standardOutput : machine->standardError).append(bytes, size);
    return {size, Failure::NONE};
  }
  OpenFile& file = handles.at(handle);
  ++machine->writeCalls;
  if (Failure f = injected("writeFile", file.name); f != Failure::NONE) return {0, f};
  if (file.name.empty()) return {size, Failure::NONE};
  if (file.access == platform::Access::READ_ONLY) return {0, Failure::ACCESS_DENIED};
  std::size_t n = static_cast<std::size_t>(std::min<std::int64_t>(machine->diskSpace, size));
  machine->diskSpace -= static_cast<std::int64_t>(n);
  std::string& contents = machine->files[file.name].bytes;
  if (contents.size() < file.position + n) contents.resize(file.position + n);
  contents.replace(file.position, n, bytes, n);
  file.position += n;
  if (n < size) return {n, Failure::DISK_FULL};
  return {n, Failure::NONE};
}

Failure fakeTruncateHere(FileHandle handle) {
  OpenFile& file = handles.at(handle);
  if (Failure f = injected("truncateHere", file.name); f != Failure::NONE) return f;
  if (file.name.empty()) return Failure::NONE;
  std::string& contents = machine->files[file.name].bytes;
  if (contents.size() <= file.position) return Failure::NONE;
  if (file.access == platform::Access::READ_ONLY) return Failure::ACCESS_DENIED;
  contents.resize(file.position);
  return Failure::NONE;
}

Failure fakeClose(FileHandle handle) {
  auto found = handles.find(handle);
  if (found == handles.end()) return Failure::OTHER;
  std::string name = found->second.name;
  handles.erase(found);
  return injected("closeFile", name);
}

FileHandle fakeStandardHandle(platform::StandardStream stream) {
  switch (stream) {
    case platform::StandardStream::INPUT:
      return STDIN;
    case platform::StandardStream::OUTPUT:
      return STDOUT;
    default:
      return STDERR;
  }
}

bool fakeIsTerminal(FileHandle handle) {
  return handle == STDIN && machine->inputIsTerminal;
}

int fakeArgumentCount() {
  return static_cast<int>(machine->arguments.size());
}

const char* fakeArgument(int index) {
  if (index < 1 || index > fakeArgumentCount()) return nullptr;
  return machine->arguments[index - 1].c_str();
}

const char* fakeEnvironment(const char* name) {
  auto found = machine->environment.find(name);
  return found == machine->environment.end() ? nullptr : found->second.c_str();
}

bool fakeRunProgram(const char* program, const char* const* argv) {
  std::string line = program;
  for (int i = 1; argv[i] != nullptr; ++i) line += std::string("|") + argv[i];
  machine->commands.push_back(line);
  return std::strncmp(program, "missing", 7) != 0;
}

bool fakeRunShellLine(const char* line) {
  machine->commands.push_back(std::string("sh|") + line);
  return true;
}

void fakeExit(int code) {
  throw RunEnded{code};
}

}  // namespace

FakePlatform::FakePlatform(FakeMachine& installed) {
  machine = &installed;
  handles.clear();
  nextHandle = 100;
  inputPosition = 0;
  platform::systemCalls = {fakeOpenFile,   fakeOpenDevice,    fakeFileExists, fakeRead,
                           fakeWrite,      fakeTruncateHere,  fakeClose,      fakeStandardHandle,
                           fakeIsTerminal, fakeArgumentCount, fakeArgument,   fakeEnvironment,
                           fakeRunProgram, fakeRunShellLine,  fakeExit};
  textio::resetChannelsForTesting();
  textio::resetTerminationForTesting();
}

FakePlatform::~FakePlatform() {
  textio::resetChannelsForTesting();
  textio::resetTerminationForTesting();
  platform::restoreSystemCalls();
  machine = nullptr;
}

RunOutcome runUntilEnd(const std::function<void()>& body) {
  try {
    body();
  } catch (const RunEnded& end) {
    return {true, end.code};
  }
  return {};
}

std::string visible(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c == '\r') {
      out += "<CR>";
    } else if (c == '\n') {
      out += "<LF>\n";
    } else if (c < 32 || c >= 127) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "<%02X>", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

}  // namespace testsupport
