// The program only reads: a refresh of a real folder, traced with strace,
// makes no call that could create, change or remove a file, and writes to
// nothing but its standard output and error. The folder is also compared
// before and after, down to the nanosecond of its times.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/program_run.h"
#include "support/temp_folder.h"

namespace tarnwick {
namespace {

using testing::ProgramRun;
using testing::RunCommand;
using testing::ShellQuoted;
using testing::TempFolder;

// Calls that create, change or remove a file or its attributes whatever
// their arguments.
const std::vector<std::string> kChangingCalls = {
    "creat",     "mkdir",           "mkdirat",      "mknod",        "mknodat",   "unlink",
    "unlinkat",  "rmdir",           "rename",       "renameat",     "renameat2", "link",
    "linkat",    "symlink",         "symlinkat",    "chmod",        "fchmod",    "fchmodat",
    "chown",     "fchown",          "lchown",       "fchownat",     "truncate",  "ftruncate",
    "utime",     "utimes",          "utimensat",    "futimesat",    "setxattr",  "lsetxattr",
    "fsetxattr", "removexattr",     "lremovexattr", "fremovexattr", "mount",     "umount2",
    "fallocate", "copy_file_range", "sendfile",     "splice"};

// A line of strace's output without the "[pid 12] " that -f puts before
// the calls of a child.
std::string WithoutPid(const std::string& line) {
  return line.starts_with("[pid") ? line.substr(line.find(']') + 2) : line;
}

// The name of the call on such a line ("openat(..." or "<... openat
// resumed>...").
std::string CallOf(const std::string& call_line) {
  const std::string rest = call_line.starts_with("<... ") ? call_line.substr(5) : call_line;
  return rest.substr(0, rest.find_first_of(" ("));
}

// Every line of `trace` that could change the file system; empty when none.
std::vector<std::string> ChangingLines(const std::string& trace) {
  std::vector<std::string> found;
  std::istringstream lines(trace);
  std::string line;
  while (std::getline(lines, line)) {
    const std::string call_line = WithoutPid(line);
    const std::string call = CallOf(call_line);
    const bool opens = call == "open" || call == "openat" || call == "openat2";
    const bool opens_to_change =
        opens &&
        (line.find("O_WRONLY") != std::string::npos || line.find("O_RDWR") != std::string::npos ||
         line.find("O_CREAT") != std::string::npos || line.find("O_TRUNC") != std::string::npos);
    // write(1, ...) and write(2, ...) are the output; any other is not.
    const bool writes = (call == "write" || call == "writev" || call == "pwrite64") &&
                        !call_line.starts_with(call + "(1,") &&
                        !call_line.starts_with(call + "(2,");
    if (opens_to_change || writes ||
        std::find(kChangingCalls.begin(), kChangingCalls.end(), call) != kChangingCalls.end()) {
      found.push_back(line);
    }
  }
  return found;
}

// What a change would show: every entry below `folder` with its size, mode,
// and modification and change times.
std::map<std::string, std::string> Snapshot(const std::string& scratch, const std::string& folder) {
  const ProgramRun run =
      RunCommand(scratch, "find " + ShellQuoted(folder) + " -printf '%P|%y|%s|%m|%T@|%C@\\n'");
  EXPECT_EQ(run.status, 0) << run.err;
  std::map<std::string, std::string> entries;
  std::istringstream lines(run.out);
  std::string line;
  while (std::getline(lines, line)) entries[line.substr(0, line.find('|'))] = line;
  return entries;
}

TEST(ReadOnly, TheCheckSeesCallsThatChangeFiles) {
  const std::string trace =
      "openat(AT_FDCWD, \"/etc/ld.so.cache\", O_RDONLY|O_CLOEXEC) = 3\n"
      "write(1, \"\\343\\203\\221\", 3) = 3\n"
      "[pid 7] write(2, \"oops\", 4) = 4\n"
      "getdents64(3, 0x5555 /* 4 entries */, 32768) = 112\n"
      "openat(AT_FDCWD, \"/tmp/x\", O_WRONLY|O_CREAT|O_TRUNC, 0644) = 4\n"
      "write(4, \"x\", 1) = 1\n"
      "[pid 7] unlinkat(AT_FDCWD, \"/tmp/x\", 0) = 0\n"
      "<... renameat2 resumed>) = 0\n";
  EXPECT_EQ(ChangingLines(trace),
            (std::vector<std::string>{
                "openat(AT_FDCWD, \"/tmp/x\", O_WRONLY|O_CREAT|O_TRUNC, 0644) = 4",
                "write(4, \"x\", 1) = 1", "[pid 7] unlinkat(AT_FDCWD, \"/tmp/x\", 0) = 0",
                "<... renameat2 resumed>) = 0"}));
}

TEST(ReadOnly, ARefreshOfARealFolderChangesNothing) {
  TempFolder scratch;
  if (RunCommand(scratch.path(), "strace -f -o /dev/null true").status != 0) {
    GTEST_SKIP() << "strace cannot trace here (missing, or ptrace is not allowed)";
  }
  TempFolder folder;
  for (const char* name : {"Long File Name.txt", "readme.txt", "日本語のファイル名.txt",
                           "caf\xE9.txt", "Sub Folder/inside.txt"}) {
    if (std::string(name).starts_with("Sub Folder")) folder.Folder("Sub Folder");
    folder.File(name);
  }
  folder.Link("link.txt", "readme.txt");
  folder.Link("dangling", "missing");
  const std::map<std::string, std::string> before = Snapshot(scratch.path(), folder.path());

  for (const std::string& sort : {std::string(), std::string("--by-short ")}) {
    SCOPED_TRACE(sort);
    const std::string trace_file = scratch.path() + "trace";
    // LeakSanitizer cannot work under a tracer; the sanitized build would
    // fail at its end for that alone.
    const ProgramRun run = RunCommand(
        scratch.path(), "ASAN_OPTIONS=detect_leaks=0 strace -f -qq -e trace=%file,%desc,write -o " +
                            ShellQuoted(trace_file) + " " + ShellQuoted(TARNWICK_LIST_PROGRAM) +
                            " " + sort + ShellQuoted(folder.path()));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("LONGFI~1.TXT"), std::string::npos) << run.out;
    const std::string trace = testing::ReadWholeFile(trace_file);
    // The trace saw the listing: the folder was opened.
    EXPECT_NE(trace.find(folder.path()), std::string::npos);
    EXPECT_EQ(ChangingLines(trace), std::vector<std::string>{});
  }
  EXPECT_EQ(Snapshot(scratch.path(), folder.path()), before);
}

}  // namespace
}  // namespace tarnwick
