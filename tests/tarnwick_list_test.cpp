#include "cli/tarnwick_list.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/program_run.h"
#include "support/temp_folder.h"

namespace tarnwick {
namespace {

using testing::ProgramRun;
using testing::ReadWholeFile;
using testing::RunCommand;
using testing::ShellQuoted;
using testing::TempFolder;

// Runs the built program with `arguments` (already quoted for the shell).
ProgramRun RunProgram(const TempFolder& scratch, const std::string& arguments) {
  return RunCommand(scratch.path(), ShellQuoted(TARNWICK_LIST_PROGRAM) + " " + arguments);
}

class TarnwickList : public ::testing::Test {
 protected:
  TarnwickList() {
    files.File("Long File Name.txt");
    files.File("readme.txt");
    files.File("日本語のファイル名.txt");
    files.File("caf\xE9.txt");
    files.Folder("subfolder");
  }
  TempFolder files;
  TempFolder scratch;

  // What the program prints for `files` by long name. The folder's own name
  // is a valid short name, so its short path is its path.
  std::string ByLongName() const {
    return "パス名－" + files.path() + "\n" +
           "caf\xE9.txt ⇔ CAF_~1.TXT\n"
           "Long File Name.txt ⇔ LONGFI~1.TXT\n"
           "readme.txt ⇔ readme.txt\n"
           "日本語のファイル名.txt ⇔ 日本語~1.TXT\n";
  }
};

TEST_F(TarnwickList, PrintsTheLabelThenEveryLineByLongName) {
  const ProgramRun run = RunProgram(scratch, "'" + files.path() + "'");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, ByLongName());
}

TEST_F(TarnwickList, SortsByShortNameWhenAsked) {
  const ProgramRun run = RunProgram(scratch, "--by-short '" + files.path() + "'");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "パス名－" + files.path() + "\n" +
                         "CAF_~1.TXT ⇔ caf\xE9.txt\n"
                         "LONGFI~1.TXT ⇔ Long File Name.txt\n"
                         "readme.txt ⇔ readme.txt\n"
                         "日本語~1.TXT ⇔ 日本語のファイル名.txt\n");
}

TEST_F(TarnwickList, ListsTheCurrentFolderWhenGivenNone) {
  const ProgramRun in_folder = [&] {
    const std::string command = "cd '" + files.path() + "' && '" + TARNWICK_LIST_PROGRAM + "' >'" +
                                scratch.path() + "here'";
    EXPECT_EQ(std::system(command.c_str()), 0);
    return ProgramRun{0, ReadWholeFile(scratch.path() + "here"), ""};
  }();
  EXPECT_EQ(in_folder.out, ByLongName());
}

TEST_F(TarnwickList, FailsWithStatusTwoForAFolderThatCannotBeListed) {
  const ProgramRun missing = RunProgram(scratch, "'" + files.path() + "no such folder'");
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.out, "");
  EXPECT_NE(missing.err.find("no such folder"), std::string::npos) << missing.err;

  const ProgramRun not_a_folder = RunProgram(scratch, "'" + files.path() + "readme.txt'");
  EXPECT_EQ(not_a_folder.status, 2);
  EXPECT_EQ(not_a_folder.out, "");
  EXPECT_EQ(not_a_folder.err, "tarnwick-list: '" + files.path() + "readme.txt' is not a folder\n");

  // "/?" asks for help only on Windows; here it is a path like any other.
  const ProgramRun question = RunProgram(scratch, "'/?'");
  EXPECT_EQ(question.status, 2);
  EXPECT_EQ(question.out, "");
}

// Lines of `text`, without their line feeds.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

TEST_F(TarnwickList, SaysSoWhenItsOutputCannotBeWritten) {
  for (const std::string& asked : {std::string("--help"), ShellQuoted(files.path())}) {
    SCOPED_TRACE(asked);
    // Standard output to a full disk, in a shell of its own.
    std::string command = ShellQuoted(TARNWICK_LIST_PROGRAM);
    command.append(" ").append(asked).append(" >/dev/full");
    const ProgramRun run = RunCommand(scratch.path(), "sh -c " + ShellQuoted(command));
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("tarnwick-list: cannot write the output: No space left on device"),
              std::string::npos)
        << run.err;
  }
}

TEST_F(TarnwickList, HelpGoesToStandardOutputAndNamesEveryOption) {
  for (const char* asked : {"--help", "-h", "--help --no-such-option", "--by-short --help"}) {
    SCOPED_TRACE(asked);
    const ProgramRun help = RunProgram(scratch, asked);
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    const std::vector<std::string> lines = Lines(help.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "Usage: tarnwick-list [OPTION]... [FOLDER]");
    for (const char* option : {"--by-short", "--help", "--version"}) {
      EXPECT_NE(help.out.find(std::string(" ") + option + "  "), std::string::npos) << option;
    }
    EXPECT_NE(help.out.find("Exit status:"), std::string::npos);
  }
}

TEST_F(TarnwickList, VersionGoesToStandardOutput) {
  for (const char* asked : {"--version", "--version --help", "--version /no/such/folder"}) {
    SCOPED_TRACE(asked);
    const ProgramRun version = RunProgram(scratch, asked);
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.err, "");
    const std::vector<std::string> lines = Lines(version.out);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "tarnwick-list 1.0");
    EXPECT_NE(version.out.find("MIT"), std::string::npos);
  }
}

TEST_F(TarnwickList, RefusesAWrongCommandLineWithStatusTwo) {
  struct Case {
    std::string arguments;
    std::string complaint;
  };
  const Case cases[] = {
      {"--sideways", "tarnwick-list: unrecognized option '--sideways'"},
      {"-x '" + files.path() + "'", "tarnwick-list: unrecognized option '-x'"},
      {"--by-short=yes", "tarnwick-list: unrecognized option '--by-short=yes'"},
      {"a b", "tarnwick-list: extra operand 'b'"},
  };
  for (const Case& wrong : cases) {
    SCOPED_TRACE(wrong.arguments);
    const ProgramRun run = RunProgram(scratch, wrong.arguments);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, wrong.complaint + "\nTry 'tarnwick-list --help' for more information.\n");
  }
}

TEST_F(TarnwickList, TakesWhatFollowsTwoDashesAsTheFolder) {
  files.Folder("--help");
  files.File("--help/-x.txt");
  const ProgramRun run =
      RunCommand(scratch.path(), "cd '" + files.path() + "' && " +
                                     ShellQuoted(TARNWICK_LIST_PROGRAM) + " -- --help");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "パス名－" + files.path() + "--help/\n-x.txt ⇔ -x.txt\n");
}

}  // namespace
}  // namespace tarnwick
