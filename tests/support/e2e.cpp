// The end-to-end harness: a temporary folder per run, the program started there with its
// standard streams captured, and the folder read back afterwards.
#include "support/e2e.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testsupport {
namespace fs = std::filesystem;

namespace {

std::string readWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void writeWhole(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

std::string builtProgram(const std::string& name) {
  for (const char* folder : {"", "/tests", "/tools"}) {
    fs::path candidate = fs::path(SPC2PRN_BINARY_DIR + std::string(folder)) / name;
    if (fs::exists(candidate)) return candidate.string();
  }
  throw std::runtime_error("program not built: " + name);
}

ProgramResult runProgram(const std::string& program, const ProgramRun& run) {
  char pattern[] = "/tmp/spc2prn-e2e-XXXXXX";
  if (::mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
  fs::path folder = pattern;
  for (const auto& [name, bytes] : run.files) writeWhole(folder / name, bytes);
  std::vector<fs::path> readOnly;
  for (std::string name : run.folders) {
    bool locked = !name.empty() && name.back() == '!';
    if (locked) name.pop_back();
    fs::create_directories(folder / name);
    if (locked) readOnly.push_back(folder / name);
  }
  for (const fs::path& path : readOnly)
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_exec);
  writeWhole(folder / ".stdin", run.standardInput);

  fs::path outPath = folder / ".stdout", errPath = folder / ".stderr";
  pid_t child = ::fork();
  if (child == 0) {
    if (::chdir(folder.c_str()) != 0) ::_exit(200);
    int in = ::open(".stdin", O_RDONLY);
    int out = ::open(".stdout", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = ::open(".stderr", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(in, 0), ::dup2(out, 1), ::dup2(err, 2);
    for (const auto& [key, value] : run.environment) {
      if (value.empty())
        ::unsetenv(key.c_str());
      else
        ::setenv(key.c_str(), value.c_str(), 1);
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : run.arguments)
      argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(201);
  }
  int status = 0;
  ::waitpid(child, &status, 0);

  ProgramResult result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1000 - WTERMSIG(status);
  result.standardOutput = readWhole(outPath);
  result.standardError = readWhole(errPath);
  for (const fs::path& path : readOnly) fs::permissions(path, fs::perms::owner_all);
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    std::string name = fs::relative(entry.path(), folder).string();
    if (name == ".stdin" || name == ".stdout" || name == ".stderr") continue;
    result.files[name] = readWhole(entry.path());
  }
  fs::remove_all(folder);
  return result;
}

}  // namespace testsupport
