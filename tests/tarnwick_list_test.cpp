#include "cli/tarnwick_list.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/fake_console.h"
#include "support/fakes.h"
#include "support/program_run.h"
#include "support/temp_folder.h"
#include "text/lossless_utf8.h"

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

// A reader that stops after the first line, with several times what a pipe
// holds still to come: whether SIGPIPE ends a program or is ignored by
// whoever started it, the listing ends quietly.
TEST_F(TarnwickList, EndsQuietlyWhenItsReaderStopsEarly) {
  TempFolder many;
  const std::string long_name(200, 'x');
  for (int i = 0; i < 1000; ++i) many.File(long_name + std::to_string(i));
  for (const std::string& signal :
       {std::string("--default-signal"), std::string("--ignore-signal")}) {
    SCOPED_TRACE(signal);
    const std::string status = scratch.path() + "status", err = scratch.path() + "list-err";
    const ProgramRun run = RunCommand(
        scratch.path(), "{ { env " + signal + "=PIPE " + ShellQuoted(TARNWICK_LIST_PROGRAM) + " " +
                            ShellQuoted(many.path()) + " 2>" + ShellQuoted(err) + "; echo $? >" +
                            ShellQuoted(status) + "; } | head -n 1; }");
    EXPECT_EQ(run.out, "パス名－" + many.path() + "\n");
    EXPECT_EQ(ReadWholeFile(status), "0\n");
    EXPECT_EQ(ReadWholeFile(err), "");
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
    for (const char* option : {"--by-short", "--source", "--zero", "--help", "--version"}) {
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

// Runs the built program with `arguments` on a terminal of its own (a
// pseudo-terminal in raw mode, so that a line feed stays one byte), as both
// its standard output and its standard error; gives what the terminal got.
std::string RunOnTerminal(const std::vector<std::string>& arguments) {
  std::vector<char*> argv = {const_cast<char*>(TARNWICK_LIST_PROGRAM)};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  termios raw{};
  ::cfmakeraw(&raw);
  int terminal = -1;
  const pid_t child = ::forkpty(&terminal, nullptr, &raw, nullptr);
  if (child < 0) throw std::runtime_error("cannot open a pseudo-terminal");
  if (child == 0) {
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  std::string received;
  char buffer[4096];
  // The read fails (EIO) once the program has ended and closed the terminal.
  for (ssize_t n; (n = ::read(terminal, buffer, sizeof buffer)) != 0;) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    received.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(terminal);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status)) << status;
  return received;
}

// What a terminal could take for a command: a control character other than
// the line feed, or a byte that is not UTF-8.
bool HoldsCommandForATerminal(const std::string& bytes) {
  const Text text = DecodeFileName(bytes);
  for (std::size_t at = 0; at < text.size();) {
    const CodePoint character = CodePointAt(text, at);
    const char32_t c = character.value;
    if ((c < 0x20 && c != '\n') || (c >= 0x7F && c <= 0x9F) || IsSurrogate(c)) return true;
    at += character.units;
  }
  return false;
}

// Names that set a terminal's title, clear its screen, break a line and
// break the column of --source, with a byte that is not UTF-8.
TEST_F(TarnwickList, NoControlByteOfANameReachesATerminalButPipesGetTheNamesExactly) {
  TempFolder hostile;
  // In the order of their long names.
  const std::vector<std::string> names = {"\x1B[2J.txt", "\x1B]0;TITLE\a.txt", "new\nline.txt",
                                          "tab\tand\xFF.txt"};
  for (const std::string& name : names) hostile.File(name);

  const std::string shown = RunOnTerminal({hostile.path()});
  EXPECT_FALSE(HoldsCommandForATerminal(shown)) << shown;
  const std::vector<std::string> lines = Lines(shown);
  ASSERT_EQ(lines.size(), 5u) << shown;
  EXPECT_EQ(lines[0], "パス名－" + hostile.path());
  const char* const shown_names[] = {"?[2J.txt ⇔ ", "?]0;TITLE?.txt ⇔ ", "new?line.txt ⇔ ",
                                     "tab?and?.txt ⇔ "};
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(lines[i + 1].rfind(shown_names[i], 0), 0u) << i;

  // A message on the terminal shows the path it names the same way.
  const std::string complaint = RunOnTerminal({hostile.path() + "gone\x1B[2J"});
  EXPECT_FALSE(HoldsCommandForATerminal(complaint)) << complaint;
  EXPECT_NE(complaint.find("gone?[2J"), std::string::npos) << complaint;

  // Into a pipe each line names its file exactly; with -z each line, the
  // label's first, ends in a NUL, so that the names read back.
  const ProgramRun piped = RunProgram(scratch, ShellQuoted(hostile.path()));
  for (const std::string& name : names) {
    EXPECT_NE(piped.out.find('\n' + name + " ⇔ "), std::string::npos) << name;
  }
  const ProgramRun zero = RunProgram(scratch, "-z " + ShellQuoted(hostile.path()));
  ASSERT_EQ(zero.status, 0) << zero.err;
  std::vector<std::string> records;
  std::size_t start = 0;
  for (std::size_t end; (end = zero.out.find('\0', start)) != std::string::npos; start = end + 1) {
    records.push_back(zero.out.substr(start, end - start));
  }
  EXPECT_EQ(start, zero.out.size()) << "the last line ends in a NUL";
  ASSERT_EQ(records.size(), 5u);
  EXPECT_EQ(records[0], "パス名－" + hostile.path());
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(records[i + 1].substr(0, records[i + 1].find(" ⇔ ")), names[i]);
  }
}

// The same rules, in the program's own code, against fakes: a folder whose
// path and names hold escape sequences, a line feed, a tab, DEL, C1's CSI, a
// byte that is not UTF-8 (its escape) and a lone high surrogate, beside an
// emoji (a surrogate pair) and Japanese, which are characters like any other.
class TarnwickListOutput : public ::testing::Test {
 protected:
  TarnwickListOutput() {
    const Text short_names[] = {u"_2J~1.TXT",  u"_0TITL~1.TXT", u"A_2J~1",  u"NEWLIN~1.TXT",
                                u"TAB_~1.TXT", u"日本.TXT",     u"_LONE~1", u"_~1.TXT"};
    std::vector<Text> names;
    for (std::size_t i = 0; i < std::size(short_names); ++i) {
      names.push_back(kNames[i]);
      system.short_paths[kFolder + kNames[i]] = kFolder + short_names[i];
      exact.push_back(kNames[i] + u" ⇔ " + short_names[i] + u"\tdisk");
      shown.push_back(kShownNames[i] + u" ⇔ " + short_names[i] + u"\tdisk");
    }
    system.AddFolder(kFolder, names);
    system.short_paths[kFolder] = kFolder;
  }

  // Runs the program with `arguments`; gives its exit status.
  int Run(std::vector<Text> arguments) {
    console.arguments = std::move(arguments);
    return RunTarnwickList(console.arguments, system, console);
  }

  // The label, then `lines`, each ending in `end`.
  static Text Output(const Text& label, const std::vector<Text>& lines, char16_t end) {
    Text text = u"パス名－" + label + end;
    for (const Text& line : lines) text += line + end;
    return text;
  }

  const Text kFolder = u"C:\\\x1B]0;X\a\\";
  const Text kShownFolder = u"C:\\?]0;X?\\";
  // In the order of their long names.
  const Text kNames[8] = {u"\x1B[2J.txt",   u"\x1B]0;TITLE\a.txt", u"a\x7F\u009B2J",
                          u"new\nline.txt", u"tab\t\xDCFF.txt",    u"日本.txt",
                          u"\xD800lone",    u"\xD83D\xDE00.txt"};
  const Text kShownNames[8] = {u"?[2J.txt",  u"?]0;TITLE?.txt", u"a??2J", u"new?line.txt",
                               u"tab??.txt", u"日本.txt",       u"?lone", u"\xD83D\xDE00.txt"};
  testing::FakeSystem system;
  testing::FakeConsole console;
  std::vector<Text> exact;  // the lines with --source, as they are
  std::vector<Text> shown;  // the same, as a terminal shows them
};

// The tab before --source's word is the program's own, and stays.
TEST_F(TarnwickListOutput, ATerminalGetsEachControlCharacterOfANameAsAQuestionMark) {
  for (const bool terminal : {false, true}) {
    for (const bool zero : {false, true}) {
      SCOPED_TRACE(std::string(terminal ? "terminal" : "pipe") + (zero ? ", -z" : ""));
      console.out.clear();
      console.output_is_terminal = terminal;
      std::vector<Text> arguments = {u"--source", kFolder};
      if (zero) arguments.insert(arguments.begin(), u"--zero");
      ASSERT_EQ(Run(arguments), kListed) << std::string(console.err.begin(), console.err.end());
      EXPECT_EQ(console.out, terminal ? Output(kShownFolder, shown, zero ? u'\0' : u'\n')
                                      : Output(kFolder, exact, zero ? u'\0' : u'\n'));
      EXPECT_EQ(console.err, u"");
    }
  }
}

TEST_F(TarnwickListOutput, MessagesOnATerminalShowTheNamesTheyHoldTheSameWay) {
  const Text try_help = u"Try 'tarnwick-list --help' for more information.\n";
  struct Case {
    std::vector<Text> arguments;
    std::exception_ptr fault;  // what reading the folder throws
    Text message;              // as it is
    Text shown;                // as a terminal gets it
  };
  const Case cases[] = {
      {{u"--\x1B[2J"},
       nullptr,
       u"tarnwick-list: unrecognized option '--\x1B[2J'\n" + try_help,
       u"tarnwick-list: unrecognized option '--?[2J'\n" + try_help},
      {{kFolder + kNames[3]},
       nullptr,
       u"tarnwick-list: '" + kFolder + kNames[3] + u"' is not a folder\n",
       u"tarnwick-list: '" + kShownFolder + kShownNames[3] + u"' is not a folder\n"},
      {{kFolder},
       std::make_exception_ptr(
           PlatformError(ErrorKind::AccessDenied, kFolder, "cannot read '\x1B[2J': denied")),
       u"tarnwick-list: cannot read '\x1B[2J': denied\n",
       u"tarnwick-list: cannot read '?[2J': denied\n"},
  };
  for (const bool terminal : {false, true}) {
    for (const Case& wrong : cases) {
      SCOPED_TRACE(terminal ? "terminal" : "pipe");
      console.err.clear();
      console.error_is_terminal = terminal;
      system.fault = wrong.fault;
      EXPECT_EQ(Run(wrong.arguments), kCannotList);
      EXPECT_EQ(console.err, terminal ? wrong.shown : wrong.message);
      EXPECT_EQ(console.out, u"");
    }
  }
}

}  // namespace
}  // namespace tarnwick
