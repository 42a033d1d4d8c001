#include "cli/tarnwick_list.h"

#include <cstdint>
#include <exception>
#include <optional>
#include <string_view>

#include "listing/listing_refresh.h"
#include "text/text.h"
#include "version.h"

namespace tarnwick {
namespace {

constexpr char16_t kHelp[] =
    u"Usage: tarnwick-list [OPTION]... [FOLDER]\n"
    u"List every ordinary file of FOLDER (the current folder by default) as the\n"
    u"Tarnwick window does: first the short form of the folder's path, then one\n"
    u"line per file with its long and short (8.3) names, sorted by long name.\n"
    u"On a terminal, each control character of a name, and each byte that is not\n"
    u"UTF-8, shows as '?'; into a pipe or a file, names are written as they are.\n"
    u"\n"
    u"      --by-short   sort by short name, and put the short name first\n"
    u"      --source     follow each file's line with a tab and where its short name\n"
    u"                   comes from: disk (the file system keeps it), 8.3 (the name\n"
    u"                   is a valid 8.3 name and stands for itself), rules (made by\n"
    u"                   the FAT rules of code page 932; Linux only) or none (the\n"
    u"                   file system keeps no short name for a long name)\n"
    u"  -z, --zero       end each line, the first too, with a NUL rather than a\n"
    u"                   newline, so that a program reads every name back as it is\n"
    u"  -h, --help       display this help and exit (also /? on Windows)\n"
    u"      --version    output version information and exit\n"
    u"\n"
    u"Exit status:\n"
    u" 0  if the folder was listed (also when the reader of the output stops\n"
    u"    early, as head does),\n"
    u" 1  if an internal fault stopped the listing,\n"
    u" 2  if the folder is missing, is not a folder or cannot be read, the output\n"
    u"    cannot be written, or the command line is wrong.\n";

constexpr char16_t kVersion[] =
    u"tarnwick-list " TARNWICK_VERSION u"\n"
    u"Copyright (C) 2026 the Tarnwick developers.\n"
    u"License: MIT <https://opensource.org/licenses/MIT>.\n"
    u"This is free software: you are free to change and redistribute it.\n"
    u"There is NO WARRANTY, to the extent permitted by law.\n";

struct Options {
  bool by_short_name = false;
  bool with_source = false;
  bool nul_line_ends = false;
  std::optional<Text> folder;
};

// What the command line asks for. --help and --version are done as soon as
// they are met, as GNU programs do, whatever follows them.
struct Request {
  enum class Action : std::uint8_t { List, ShowHelp, ShowVersion, Refuse } action;
  Options options;
  Text complaint;  // for Refuse: what is wrong
};

// `windows_switches`: "/?" asks for help, as it does of every Windows
// command; elsewhere it is a path like any other.
Request ParseArguments(const std::vector<Text>& arguments, bool windows_switches) {
  Options options;
  bool options_ended = false;
  for (const Text& argument : arguments) {
    if (!options_ended && argument == u"--") {
      options_ended = true;
    } else if (!options_ended && argument == u"--by-short") {
      options.by_short_name = true;
    } else if (!options_ended && argument == u"--source") {
      options.with_source = true;
    } else if (!options_ended && (argument == u"-z" || argument == u"--zero")) {
      options.nul_line_ends = true;
    } else if (!options_ended && (argument == u"--help" || argument == u"-h" ||
                                  (windows_switches && argument == u"/?"))) {
      return {Request::Action::ShowHelp, {}, {}};
    } else if (!options_ended && argument == u"--version") {
      return {Request::Action::ShowVersion, {}, {}};
    } else if (!options_ended && argument.size() > 1 && argument.front() == u'-') {
      return {Request::Action::Refuse, {}, u"unrecognized option '" + argument + u"'"};
    } else if (options.folder) {
      return {Request::Action::Refuse, {}, u"extra operand '" + argument + u"'"};
    } else {
      options.folder = argument;
    }
  }
  return {Request::Action::List, std::move(options), {}};
}

// Written a piece at a time, not a line at a time.
constexpr std::size_t kPieceSize = 16 * 1024;

// Appends `text` with each character that could drive a terminal shown as
// "?": the control characters (C0, DEL and C1) and each lone surrogate, which
// stands for a byte of a Linux name that is not UTF-8 and is no character on
// Windows either. A pair of surrogates is a character like any other.
void AppendForTerminal(Text& to, TextView text) {
  for (std::size_t at = 0; at < text.size();) {
    const CodePoint character = CodePointAt(text, at);
    const char32_t c = character.value;
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || IsSurrogate(c)) {
      to.push_back(u'?');
    } else {
      to.append(text.substr(at, character.units));
    }
    at += character.units;
  }
}

void AppendShown(Text& to, TextView text, bool for_terminal) {
  if (for_terminal) {
    AppendForTerminal(to, text);
  } else {
    to.append(text);
  }
}

// Writes "tarnwick-list: " and `message` as a line on standard error, then
// `more`, the program's own text. A message may hold a name (a path, an
// argument), which a terminal gets as a list line would give it.
void Complain(Console& console, TextView message, TextView more = {}) {
  Text text = u"tarnwick-list: ";
  AppendShown(text, message, console.ErrorIsTerminal());
  text.push_back(u'\n');
  text.append(more);
  console.WriteError(text);
}

int Run(const std::vector<Text>& arguments, SystemServices& system, Console& console) {
  const Request request = ParseArguments(arguments, system.Separator() == u'\\');
  switch (request.action) {
    case Request::Action::ShowHelp:
      console.WriteOut(kHelp);
      return kListed;
    case Request::Action::ShowVersion:
      console.WriteOut(kVersion);
      return kListed;
    case Request::Action::Refuse:
      Complain(console, request.complaint, u"Try 'tarnwick-list --help' for more information.\n");
      return kCannotList;
    case Request::Action::List:
      break;
  }
  const Options& options = request.options;
  const Text folder = options.folder ? console.FullPath(*options.folder) : system.CurrentFolder();
  if (system.KindOfPath(folder) == PathKind::File) {
    Complain(console, u"'" + folder + u"' is not a folder");
    return kCannotList;
  }
  ConsoleControls controls(folder, !options.by_short_name, console);
  if (options.with_source) controls.ShowSources(system);
  if (options.nul_line_ends) controls.EndLinesWithNul();
  if (console.OutputIsTerminal()) controls.ShowNamesForTerminal();
  ListFileName(controls, system);
  controls.Finish();
  return kListed;
}

}  // namespace

void ConsoleControls::List1AddItem(const Text& line, TextView long_name, TextView short_name) {
  WriteLabelOnce();
  AppendShown(piece_, line, for_terminal_);
  if (sources_ != nullptr) {
    const std::string_view word =
        OriginWord(sources_->ShortNameOriginOf(listed_folder_, long_name, short_name));
    piece_.push_back(u'\t');
    piece_.append(word.begin(), word.end());
  }
  piece_.push_back(line_end_);
  if (piece_.size() >= kPieceSize) {
    console_.WriteOut(piece_);
    piece_.clear();
  }
}

void ConsoleControls::Finish() {
  WriteLabelOnce();
  console_.WriteOut(piece_);
  piece_.clear();
}

void ConsoleControls::WriteLabelOnce() {
  if (label_written_) return;
  Text label_line;
  AppendShown(label_line, label_, for_terminal_);
  label_line.push_back(line_end_);
  piece_.insert(0, label_line);
  label_written_ = true;
}

int RunTarnwickList(const std::vector<Text>& arguments, SystemServices& system, Console& console) {
  try {
    return Run(arguments, system, console);
  } catch (const OutputClosed&) {
    // Quietly, as a program that the reader ends early would on Linux.
    return kListed;
  } catch (const PlatformError& error) {
    Complain(console, DescriptionOf(error));
    return kCannotList;
  } catch (const std::exception& error) {
    Complain(console, u"internal fault: " + DescriptionOf(error));
    return kInternalFault;
  }
}

}  // namespace tarnwick
