#include "cli/tarnwick_list.h"

#include <exception>
#include <optional>
#include <string_view>

#include "listing/listing_refresh.h"
#include "text/lossless_utf8.h"

namespace tarnwick {
namespace {

constexpr char16_t kUsage[] =
    u"Usage: tarnwick-list [--by-short] [FOLDER]\n"
    u"Lists every ordinary file of FOLDER (the current folder when none is given)\n"
    u"as the Tarnwick window does: first the folder's short path, then one line\n"
    u"per file with its long and short names, sorted by long name, or by short\n"
    u"name with --by-short.\n";

struct Options {
  bool by_short_name = false;
  bool help = false;
  std::optional<Text> folder;
};

// Gives nullopt, after saying why on standard error, for arguments that make
// no sense.
std::optional<Options> ParseArguments(const std::vector<Text>& arguments, Console& console) {
  Options options;
  bool options_ended = false;
  for (const Text& argument : arguments) {
    if (!options_ended && argument == u"--") {
      options_ended = true;
    } else if (!options_ended && argument == u"--by-short") {
      options.by_short_name = true;
    } else if (!options_ended && (argument == u"--help" || argument == u"-h")) {
      options.help = true;
    } else if (!options_ended && argument.size() > 1 && argument.front() == u'-') {
      console.WriteError(u"tarnwick-list: unknown option '" + argument + u"'\n" + kUsage);
      return std::nullopt;
    } else if (options.folder) {
      console.WriteError(Text(u"tarnwick-list: give at most one folder\n") + kUsage);
      return std::nullopt;
    } else {
      options.folder = argument;
    }
  }
  return options;
}

// Error descriptions are UTF-8; a path in one that is not comes through as
// its bytes.
Text FromMessage(std::string_view text) { return DecodeFileName(text); }

}  // namespace

int RunTarnwickList(const std::vector<Text>& arguments, SystemServices& system, Console& console) {
  const std::optional<Options> options = ParseArguments(arguments, console);
  if (!options) return kCannotList;
  if (options->help) {
    console.WriteOut(kUsage);
    return kListed;
  }
  try {
    const Text folder =
        options->folder ? console.FullPath(*options->folder) : system.CurrentFolder();
    ConsoleControls controls(folder, !options->by_short_name);
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
