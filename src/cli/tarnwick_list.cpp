#include "cli/tarnwick_list.h"

#include <cstdint>
#include <exception>
#include <optional>
#include <string_view>

#include "listing/listing_refresh.h"
#include "text/lossless_utf8.h"

namespace tarnwick {
namespace {

constexpr char16_t kHelp[] =
    u"Usage: tarnwick-list [OPTION]... [FOLDER]\n"
    u"List every ordinary file of FOLDER (the current folder by default) as the\n"
    u"Tarnwick window does: first the short form of the folder's path, then one\n"
    u"line per file with its long and short (8.3) names, sorted by long name.\n"
    u"\n"
    u"      --by-short   sort by short name, and put the short name first\n"
    u"  -h, --help       display this help and exit\n"
    u"      --version    output version information and exit\n"
    u"\n"
    u"Exit status:\n"
    u" 0  if the folder was listed,\n"
    u" 1  if an internal fault stopped the listing,\n"
    u" 2  if the folder is missing or cannot be read, or the command line is wrong.\n";

constexpr char16_t kVersion[] =
    u"tarnwick-list " TARNWICK_VERSION u"\n"
    u"Copyright (C) 2026 the Tarnwick developers.\n"
    u"License: MIT <https://opensource.org/licenses/MIT>.\n"
    u"This is free software: you are free to change and redistribute it.\n"
    u"There is NO WARRANTY, to the extent permitted by law.\n";

struct Options {
  bool by_short_name = false;
  std::optional<Text> folder;
};

// What the command line asks for. --help and --version are done as soon as
// they are met, as GNU programs do, whatever follows them.
struct Request {
  enum class Action : std::uint8_t { List, ShowHelp, ShowVersion, Refuse } action;
  Options options;
  Text complaint;  // for Refuse: what is wrong
};

Request ParseArguments(const std::vector<Text>& arguments) {
  Options options;
  bool options_ended = false;
  for (const Text& argument : arguments) {
    if (!options_ended && argument == u"--") {
      options_ended = true;
    } else if (!options_ended && argument == u"--by-short") {
      options.by_short_name = true;
    } else if (!options_ended && (argument == u"--help" || argument == u"-h")) {
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

// Error descriptions are UTF-8; a path in one that is not comes through as
// its bytes.
Text FromMessage(std::string_view text) { return DecodeFileName(text); }

}  // namespace

int RunTarnwickList(const std::vector<Text>& arguments, SystemServices& system, Console& console) {
  const Request request = ParseArguments(arguments);
  switch (request.action) {
    case Request::Action::ShowHelp:
      console.WriteOut(kHelp);
      return kListed;
    case Request::Action::ShowVersion:
      console.WriteOut(kVersion);
      return kListed;
    case Request::Action::Refuse:
      console.WriteError(u"tarnwick-list: " + request.complaint +
                         u"\nTry 'tarnwick-list --help' for more information.\n");
      return kCannotList;
    case Request::Action::List:
      break;
  }
  const Options& options = request.options;
  try {
    const Text folder =
        options.folder ? console.FullPath(*options.folder) : system.CurrentFolder();
    ConsoleControls controls(folder, !options.by_short_name);
    ListFileName(controls, system);
    // Written a piece at a time: a folder of a hundred thousand files would
    // otherwise hold its lines twice more, as one text and as its bytes.
    constexpr std::size_t kPieceSize = 16 * 1024;
    Text output = controls.label() + u'\n';
    for (const Text& line : controls.lines()) {
      output.append(line).push_back(u'\n');
      if (output.size() >= kPieceSize) {
        console.WriteOut(output);
        output.clear();
      }
    }
    console.WriteOut(output);
    return kListed;
  } catch (const PlatformError& error) {
    console.WriteError(u"tarnwick-list: " + FromMessage(error.what()) + u"\n");
    return kCannotList;
  } catch (const std::exception& error) {
    console.WriteError(u"tarnwick-list: internal fault: " + FromMessage(error.what()) + u"\n");
    return kInternalFault;
  }
}

}  // namespace tarnwick
