// Runs a built program in a fresh temporary folder and collects everything it left behind:
// standard output and error bytes, the exit code and every file of the folder.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace testsupport {

struct ProgramRun {
  std::map<std::string, std::string> files;  // relative path -> bytes, written before the run
  std::vector<std::string> folders;  // relative folders to create (read-only if "!" ends it)
  std::vector<std::string> arguments;
  std::string standardInput;
  std::map<std::string, std::string> environment;  // added to (or, with empty value, removed from)
};

struct ProgramResult {
  std::string standardOutput;
  std::string standardError;
  int exitCode = -1;                         // -1000 - signal number when killed by a signal
  std::map<std::string, std::string> files;  // every regular file left in the folder
};

/// A program built by this project, by target name (e.g. "spc2prn").
std::string builtProgram(const std::string& name);

/// Runs `program` (a path) in a new temporary folder that holds `run.files`.
ProgramResult runProgram(const std::string& program, const ProgramRun& run);

}  // namespace testsupport
