// The POSIX backend of the operating-system boundary: the only file that looks at errno.
// File names have their backslashes mapped to "/" before any system call sees them.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

extern char** environ;

namespace platform {
namespace {

int savedArgc = 0;
char** savedArgv = nullptr;

Failure failureFromErrno(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ENXIO:
    case ENODEV:
      return Failure::NOT_FOUND;
    case EACCES:
    case EPERM:
    case EBADF:  // a handle opened without the access the call needs
    case EROFS:
    case ETXTBSY:
    case EISDIR:
      return Failure::ACCESS_DENIED;
    case EEXIST:
      return Failure::ALREADY_EXISTS;
    case EMFILE:
    case ENFILE:
      return Failure::TOO_MANY_OPEN_FILES;
    case EINVAL:
    case EILSEQ:
      return Failure::INVALID_NAME;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return Failure::DISK_FULL;
    default:
      return Failure::OTHER;
  }
}

constexpr std::size_t MAX_NAME = 4096;

// Copies a name with every backslash turned into "/"; false if it cannot be held.
bool mapName(const char* name, char (&out)[MAX_NAME]) {
  std::size_t length = std::strlen(name);
  if (length >= MAX_NAME) return false;
  for (std::size_t i = 0; i < length; ++i) out[i] = name[i] == '\\' ? '/' : name[i];
  out[length] = '\0';
  return true;
}

int accessFlags(Access access) {
  switch (access) {
    case Access::READ_ONLY:
      return O_RDONLY;
    case Access::WRITE_ONLY:
      return O_WRONLY;
    case Access::READ_WRITE:
    default:
      return O_RDWR;
  }
}

OpenResult openPath(const char* path, int flags) {
  int fd = ::open(path, flags | O_CLOEXEC, 0666);
  if (fd < 0) return {INVALID_HANDLE, failureFromErrno(errno)};
  // The system's channels are plain files; a folder must not open as one.
  struct stat info;
  if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
    ::close(fd);
    return {INVALID_HANDLE, Failure::ACCESS_DENIED};
  }
  return {fd, Failure::NONE};
}

OpenResult posixOpenFile(const char* name, Access access, Disposition disposition) {
  char path[MAX_NAME];
  if (!mapName(name, path)) return {INVALID_HANDLE, Failure::NOT_FOUND};
  int flags = accessFlags(access);
  if (disposition == Disposition::CREATE_NEW) flags |= O_CREAT | O_EXCL;
  return openPath(path, flags);
}

// The old devices, where this machine has a counterpart; the rest are not found.
const char* devicePath(const char* device) {
  if (std::strcmp(device, "NUL") == 0) return "/dev/null";
  if (std::strcmp(device, "PRN") == 0 || std::strcmp(device, "LPT1") == 0) return "/dev/lp0";
  if (std::strcmp(device, "LPT2") == 0) return "/dev/lp1";
  if (std::strcmp(device, "LPT3") == 0) return "/dev/lp2";
  if (std::strcmp(device, "LPT4") == 0) return "/dev/lp3";
  if (std::strcmp(device, "COM1") == 0) return "/dev/ttyS0";
  if (std::strcmp(device, "COM2") == 0) return "/dev/ttyS1";
  if (std::strcmp(device, "COM3") == 0) return "/dev/ttyS2";
  if (std::strcmp(device, "COM4") == 0) return "/dev/ttyS3";
  return nullptr;
}

OpenResult posixOpenDevice(const char* device, Access access) {
  const char* path = devicePath(device);
  if (path == nullptr) return {INVALID_HANDLE, Failure::NOT_FOUND};
  return openPath(path, accessFlags(access) | O_NOCTTY | O_NONBLOCK);
}

bool posixFileExists(const char* name) {
  char path[MAX_NAME];
  if (!mapName(name, path)) return false;
  struct stat info;
  return ::stat(path, &info) == 0;
}

IoResult posixRead(FileHandle handle, void* buffer, std::size_t size) {
  int fd = static_cast<int>(handle);
  // Standard output and error (the devices CON and ERR) are for writing only; a terminal behind
  // them would otherwise wait for the keyboard.
  if (fd == STDOUT_FILENO || fd == STDERR_FILENO) return {0, Failure::ACCESS_DENIED};
  struct stat info;
  // A terminal or pipe delivers what it has; one delivery is one answer.
  bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  std::size_t done = 0;
  auto* bytes = static_cast<char*>(buffer);
  while (done < size) {
    ssize_t got = ::read(fd, bytes + done, size - done);
    if (got < 0) {
      if (errno == EINTR) continue;
      return {done, failureFromErrno(errno)};
    }
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
    if (!regular) break;
  }
  return {done, Failure::NONE};
}

IoResult posixWrite(FileHandle handle, const void* data, std::size_t size) {
  std::size_t done = 0;
  const auto* bytes = static_cast<const char*>(data);
  while (done < size) {
    ssize_t put = ::write(static_cast<int>(handle), bytes + done, size - done);
    if (put < 0) {
      if (errno == EINTR) continue;
      return {done, failureFromErrno(errno)};
    }
    if (put == 0) return {done, Failure::DISK_FULL};
    done += static_cast<std::size_t>(put);
  }
  return {done, Failure::NONE};
}

Failure posixTruncateHere(FileHandle handle) {
  int fd = static_cast<int>(handle);
  off_t here = ::lseek(fd, 0, SEEK_CUR);
  if (here < 0) return Failure::NONE;  // not seekable: a device has nothing to cut
  struct stat info;
  if (::fstat(fd, &info) != 0) return failureFromErrno(errno);
  if (!S_ISREG(info.st_mode) || info.st_size <= here) return Failure::NONE;
  if (::ftruncate(fd, here) != 0) {
    // A descriptor opened without write access refuses with EBADF or EINVAL: that is access.
    if (errno == EBADF || errno == EINVAL) return Failure::ACCESS_DENIED;
    return failureFromErrno(errno);
  }
  return Failure::NONE;
}

Failure posixClose(FileHandle handle) {
  if (::close(static_cast<int>(handle)) != 0 && errno != EINTR) return failureFromErrno(errno);
  return Failure::NONE;
}

FileHandle posixStandardHandle(StandardStream stream) {
  switch (stream) {
    case StandardStream::INPUT:
      return STDIN_FILENO;
    case StandardStream::OUTPUT:
      return STDOUT_FILENO;
    case StandardStream::ERROR:
    default:
      return STDERR_FILENO;
  }
}

bool posixIsTerminal(FileHandle handle) {
  return ::isatty(static_cast<int>(handle)) == 1;
}

int posixArgumentCount() {
  return savedArgc > 0 ? savedArgc - 1 : 0;
}

const char* posixArgument(int index) {
  if (index < 1 || index >= savedArgc) return nullptr;
  return savedArgv[index];
}

const char* posixEnvironmentVariable(const char* name) {
  return std::getenv(name);
}

bool posixRunProgram(const char* program, const char* const* argv) {
  char path[MAX_NAME];
  if (!mapName(program, path)) return false;
  pid_t child;
  // The child inherits the standard handles; our own files are close-on-exec.
  if (::posix_spawnp(&child, path, nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0)
    return false;
  int status;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) break;
  }
  // A program the system could not find or run comes back as 127 from the spawn helper.
  return !(WIFEXITED(status) && WEXITSTATUS(status) == 127);
}

bool posixRunShellLine(const char* line) {
  const char* argv[] = {"sh", "-c", line, nullptr};
  return posixRunProgram("/bin/sh", argv);
}

void posixExit(int code) {
  ::_exit(code);
}

const SystemCalls NATIVE = {
    posixOpenFile,   posixOpenDevice,    posixFileExists, posixRead,
    posixWrite,      posixTruncateHere,  posixClose,      posixStandardHandle,
    posixIsTerminal, posixArgumentCount, posixArgument,   posixEnvironmentVariable,
    posixRunProgram, posixRunShellLine,  posixExit,
};

}  // namespace

SystemCalls systemCalls = NATIVE;

const SystemCalls& nativeSystemCalls() {
  return NATIVE;
}

void adviseLargePages(void* start, std::size_t size) {
#ifdef MADV_HUGEPAGE
  ::madvise(start, size, MADV_HUGEPAGE);
#else
  (void)start, (void)size;
#endif
}

void setCommandLine(int argc, char** argv) {
  savedArgc = argc;
  savedArgv = argv;
  // A closed pipe on standard output must come back as a failed write, not kill the process.
  ::signal(SIGPIPE, SIG_IGN);
}

}  // namespace platform
