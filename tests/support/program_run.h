// Runs a built program through the shell and keeps what it printed.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace tarnwick::testing {

struct ProgramRun {
  int status = -1;  // the exit status, or -1 when it did not exit
  std::string out;
  std::string err;
};

inline std::string ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// `text` in single quotes for the shell, whatever bytes it holds.
inline std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

// Runs `command` (already quoted for the shell) with no input, its output
// kept in files under `scratch` (a folder path with a final "/").
inline ProgramRun RunCommand(const std::string& scratch, const std::string& command) {
  const std::string out = scratch + "out", err = scratch + "err";
  const std::string line =
      command + " >" + ShellQuoted(out) + " 2>" + ShellQuoted(err) + " </dev/null";
  const int status = std::system(line.c_str());
  ProgramRun run;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = ReadWholeFile(out);
  run.err = ReadWholeFile(err);
  return run;
}

}  // namespace tarnwick::testing
