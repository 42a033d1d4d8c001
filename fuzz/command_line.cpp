// tarnwick-list's command line: any arguments, against a folder of hostile
// names in a fake file system, onto a fake console whose streams are
// terminals or pipes as the input says. Whatever the arguments:
// - the exit status is 0 or 2 (the fakes have no internal fault to give);
// - a command line that is refused asks nothing of the file system, writes
//   nothing to standard output and points to --help; a failure writes
//   nothing to standard output either;
// - a listing is the refresh's label and lines, each ending in a NUL with -z
//   and in a line feed otherwise, with --source's tab and word: into a pipe
//   exactly; on a terminal the same but for a "?" in place of each control
//   character or lone surrogate, none of which reaches it;
// - standard error on a terminal gets no control character but the line
//   feeds that end its lines.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "cli/tarnwick_list.h"
#include "fuzz_check.h"
#include "listing/listing_refresh.h"
#include "support/fake_console.h"
#include "support/fakes.h"

namespace {

using tarnwick::Text;
using tarnwick::TextView;

// The input: a byte of switches, then UTF-16 code units. Pieces end at
// 0x0000; those before the first 0xFFFF are the arguments, those after it
// more names in the folder.
constexpr std::uint8_t kOutputIsTerminal = 1;
constexpr std::uint8_t kErrorIsTerminal = 2;
constexpr std::uint8_t kLinuxPaths = 4;
constexpr std::uint8_t kReaderGone = 8;
constexpr char16_t kEndOfPiece = 0x0000;
constexpr char16_t kNamesFollow = 0xFFFF;

// Names that could drive a terminal, and characters that could not.
const std::array<Text, 7> kHostileNames = {
    u"\x1B]0;TITLE\a.txt", u"\x1B[2J",          u"new\nline.txt",        u"tab\t.txt",
    u"a\x7F\u009Bb",       u"\xDCFF\xD800.txt", u"\xD83D\xDE00 日本.txt"};

// What could drive a terminal: a control character (C0, DEL, C1) or a lone
// surrogate.
bool IsForbidden(TextView text, std::size_t at, std::size_t& units) {
  const tarnwick::CodePoint character = tarnwick::CodePointAt(text, at);
  units = character.units;
  const char32_t c = character.value;
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || tarnwick::IsSurrogate(c);
}

bool HoldsForbidden(TextView text) {
  for (std::size_t at = 0, units = 0; at < text.size(); at += units) {
    if (IsForbidden(text, at, units)) return true;
  }
  return false;
}

// `text` cut at each `end`, which ends every piece.
std::vector<TextView> Pieces(TextView text, char16_t end) {
  std::vector<TextView> pieces;
  for (std::size_t at; (at = text.find(end)) != TextView::npos; text.remove_prefix(at + 1)) {
    pieces.push_back(text.substr(0, at));
  }
  FUZZ_CHECK(text.empty());
  return pieces;
}

// Whether one of `spellings` is among `arguments`, before any "--".
bool AskedFor(const std::vector<Text>& arguments, std::initializer_list<TextView> spellings) {
  for (const Text& argument : arguments) {
    if (argument == u"--") return false;
    for (const TextView spelling : spellings) {
      if (argument == spelling) return true;
    }
  }
  return false;
}

// What the program must write for a listing of `folder`: the refresh's
// label and lines as they are, with --source's word where asked, and which
// of its code units are the program's own (the line ends, --source's tab).
struct Listing {
  Text text;
  std::vector<bool> own;

  void Append(TextView part, bool own_text) {
    text += part;
    own.insert(own.end(), part.size(), own_text);
  }
};

Listing ExpectedListing(tarnwick::testing::FakeSystem& system, const Text& folder,
                        bool by_long_name, bool with_source, char16_t end) {
  tarnwick::testing::FakeControls controls;
  controls.path = folder;
  controls.by_long_name = by_long_name;
  tarnwick::ListFileName(controls, system);
  Listing expected;
  expected.Append(controls.label, false);
  expected.Append(TextView(&end, 1), true);
  for (const Text& line : controls.lines) {
    expected.Append(line, false);
    if (with_source) {
      expected.Append(u"\t", true);
      expected.Append(u"disk", false);
    }
    expected.Append(TextView(&end, 1), true);
  }
  return expected;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::uint8_t switches = data[0];
  tarnwick::testing::FakeSystem system;
  tarnwick::testing::FakeConsole console;
  const char16_t separator = (switches & kLinuxPaths) != 0 ? u'/' : u'\\';
  const Text folder = separator == u'/' ? Text(u"/dir\x1B[31m/") : Text(u"C:\\Dir\x1B[31m\\");
  system.separator = console.separator = separator;
  system.current_folder = console.current_folder = folder.substr(0, folder.size() - 1);
  system.short_paths[folder] = folder;
  console.output_is_terminal = (switches & kOutputIsTerminal) != 0;
  console.error_is_terminal = (switches & kErrorIsTerminal) != 0;
  console.reader_gone = (switches & kReaderGone) != 0;

  Text units((size - 1) / 2, u'\0');
  std::memcpy(units.data(), data + 1, units.size() * 2);
  std::vector<Text> names(kHostileNames.begin(), kHostileNames.end());
  bool in_names = false;
  Text piece;
  for (const char16_t unit : units) {
    if (unit == kEndOfPiece || (unit == kNamesFollow && !in_names)) {
      if (in_names && !piece.empty()) {
        names.push_back(piece);
      } else if (!in_names) {
        console.arguments.push_back(piece);
      }
      piece.clear();
      in_names = in_names || unit == kNamesFollow;
    } else {
      piece.push_back(unit);
    }
  }
  if (!piece.empty()) (in_names ? names : console.arguments).push_back(piece);
  system.AddFolder(folder, names);

  const int status = tarnwick::RunTarnwickList(console.arguments, system, console);
  FUZZ_CHECK(status == tarnwick::kListed || status == tarnwick::kCannotList);

  const bool asked_the_system = !console.full_path_requests.empty() || !system.patterns.empty();
  constexpr TextView kTryHelp = u"Try 'tarnwick-list --help' for more information.\n";
  const bool points_to_help = TextView(console.err).ends_with(kTryHelp);
  if (points_to_help) FUZZ_CHECK(status == tarnwick::kCannotList && !asked_the_system);
  if (status == tarnwick::kCannotList) {
    FUZZ_CHECK(console.out.empty());
    FUZZ_CHECK(TextView(console.err).starts_with(u"tarnwick-list: ") &&
               console.err.back() == u'\n');
    if (!asked_the_system) FUZZ_CHECK(points_to_help);
  } else {
    FUZZ_CHECK(console.err.empty());
  }
  if (console.error_is_terminal) {
    for (const TextView line : Pieces(console.err, u'\n')) FUZZ_CHECK(!HoldsForbidden(line));
  }

  if (status != tarnwick::kListed || console.reader_gone) {
    if (console.reader_gone) FUZZ_CHECK(console.out.empty());
    return 0;
  }
  if (system.patterns.empty()) {
    // --help or --version.
    FUZZ_CHECK(TextView(console.out).starts_with(u"Usage: tarnwick-list ") ||
               TextView(console.out).starts_with(u"tarnwick-list "));
    return 0;
  }

  // A listing: of the folder whose names the program asked for.
  const Text& pattern = system.patterns.front();
  const Text listed = pattern.substr(0, pattern.size() - 3);
  const char16_t end = AskedFor(console.arguments, {u"-z", u"--zero"}) ? u'\0' : u'\n';
  const bool with_source = AskedFor(console.arguments, {u"--source"});
  const bool by_long_name = !AskedFor(console.arguments, {u"--by-short"});
  const Listing expected = ExpectedListing(system, listed, by_long_name, with_source, end);
  if (!console.output_is_terminal) {
    FUZZ_CHECK(console.out == expected.text);
    return 0;
  }
  // On a terminal: "?" where each character it could take for a command
  // stood, nothing else changed, and nothing of the kind left.
  FUZZ_CHECK(console.out.size() == expected.text.size());
  for (std::size_t at = 0, units = 0; at < expected.text.size(); at += units) {
    const bool replaced = IsForbidden(expected.text, at, units) && !expected.own[at];
    for (std::size_t i = at; i < at + units; ++i) {
      FUZZ_CHECK(console.out[i] == (replaced ? u'?' : expected.text[i]));
    }
  }
  const std::vector<TextView> lines = Pieces(console.out, end);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    TextView line = lines[i];
    if (with_source && i > 0) {
      FUZZ_CHECK(line.ends_with(u"\tdisk"));
      line.remove_suffix(5);
    }
    FUZZ_CHECK(!HoldsForbidden(line));
  }
  return 0;
}
