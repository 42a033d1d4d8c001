#include "window/main_window.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <optional>
#include <stdexcept>

#include "base/scope_exit.h"
#include "listing/listing_refresh.h"
#include "window/shown_text.h"
#include "window/texts.h"

namespace tarnwick {
namespace {

constexpr char16_t kLineBreak[] = u"\r\n";

const char16_t* ReasonFor(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::NotFound:
      return kFolderNotFound;
    case ErrorKind::AccessDenied:
      return kFolderMayNotBeRead;
    case ErrorKind::NotReady:
      return kDriveNotReady;
    case ErrorKind::Other:
      break;
  }
  return kFolderUnreadable;
}

const char16_t* OriginText(ShortNameOrigin origin) {
  switch (origin) {
    case ShortNameOrigin::Disk:
      return kOriginDisk;
    case ShortNameOrigin::ValidName:
      return kOriginValidName;
    case ShortNameOrigin::Rules:
      return kOriginRules;
    case ShortNameOrigin::RulesGuess:
      return kOriginRulesGuess;
    case ShortNameOrigin::None:
      break;
  }
  return kOriginNone;
}

}  // namespace

Text AboutText() { return Text(kWindowCaption) + kLineBreak + Text(40, u' ') + u"by " + kCredit; }

Text ErrorMessage(const PlatformError& error) {
  // The reason and the folder; then the system's own words, where it has
  // any in the user's language.
  Text message = ReasonFor(error.kind()) + Text(kLineBreak) + error.path();
  if (!error.system_words().empty())
    message += kLineBreak + Text(kLineBreak) + error.system_words();
  return message;
}

Text InternalFaultMessage(const std::exception& fault) {
  return kInternalError + Text(kLineBreak) + kLineBreak + DescriptionOf(fault);
}

void Form1::Start(const Text& start_folder) {
  start_folder_ = start_folder;
  SetDrives(system_.Drives());
  try {
    ShowFolder(start_folder);
  } catch (const PlatformError& error) {
    controls_.ShowMessage(ErrorMessage(error), kErrorStyle, kWindowCaption);
    std::vector<Text> places;
    if (Text home = system_.HomeFolder(); !home.empty()) places.push_back(std::move(home));
    AddDrivePlaces(places);
    ShowFirstReadable(places);
  }
}

void Form1::Form_Load() { Refresh(); }

void Form1::Drive1_Change() {
  Guarded([this] {
    try {
      SetDir1Path(Drive1Drive());
    } catch (...) {
      // The folder list still shows the folder it showed: so does the drive
      // list.
      SelectDrive1For(dir1_path_);
      throw;
    }
  });
}

void Form1::Dir1_Change() { Refresh(); }

void Form1::Option1_Click(int /*Index*/) { Refresh(); }

void Form1::Command1_Click() {
  Guarded([this] { controls_.ShowMessage(AboutText(), kInformationStyle, kAboutCaption); });
}

void Form1::Drive1Chosen(int index) {
  chosen_drive_ = index;
  if (index != shown_drive_) Drive1_Change();
}

void Form1::Dir1Opened(std::size_t index) {
  if (index >= dir1_entries_.size()) return;
  Guarded([this, index] { SetDir1Path(dir1_entries_[index].path); });
}

bool Form1::CanCopyLine() const { return controls_.List1ListIndex() >= 0; }

bool Form1::CanCopyAllLines() const { return controls_.List1ListCount() > 0; }

// The system's refusal is said as the clipboard's, not as a folder that
// cannot be read.
void Form1::PutOnClipboard(const Text& text) {
  try {
    // What is copied is what the window shows.
    controls_.SetClipboardText(ShownText(text));
  } catch (const PlatformError& error) {
    Text message = kClipboardUnusable;
    if (!error.system_words().empty()) {
      message += kLineBreak + Text(kLineBreak) + error.system_words();
    }
    controls_.ShowMessage(message, kErrorStyle, kWindowCaption);
  }
}

constexpr std::uint32_t kLongNameFirst = 0x80000000u;

Form1::LineNames Form1::NamesOfLine(std::size_t line) const {
  const Text text = controls_.List1Line(static_cast<int>(line));
  const std::uint32_t split = line_splits_.at(line);
  const std::size_t first_size = std::min<std::size_t>(split & ~kLongNameFirst, text.size());
  const std::size_t second_start =
      std::min(text.size(), first_size + TextView(kNameSeparator).size());
  Text first = text.substr(0, first_size);
  Text second = text.substr(second_start);
  if (split & kLongNameFirst) return {std::move(first), std::move(second)};
  return {std::move(second), std::move(first)};
}

std::optional<ShortNameOrigin> Form1::OriginOf(const LineNames& names) const {
  try {
    return system_.ShortNameOriginOf(listed_folder_, names.long_name, names.short_name);
  } catch (const PlatformError&) {
    return std::nullopt;
  }
}

std::optional<Text> Form1::ChosenShortName() const {
  const int chosen = controls_.List1ListIndex();
  if (chosen < 0 || static_cast<std::size_t>(chosen) >= line_splits_.size()) {
    return std::nullopt;
  }
  LineNames names = NamesOfLine(static_cast<std::size_t>(chosen));
  // Where the disk keeps none, the refresh shows the long name in its place,
  // which is no short name to copy. Asked only now, as a menu opens or the
  // key is pressed; when it cannot be told, the name the refresh got stands.
  if (names.short_name.empty() || OriginOf(names) == ShortNameOrigin::None) return std::nullopt;
  return std::move(names.short_name);
}

bool Form1::CanCopyShortName() const { return ChosenShortName().has_value(); }

bool Form1::CanCopyShortPath() const { return !listed_short_folder_.empty() && CanCopyShortName(); }

void Form1::CopyShortName() {
  Guarded([this] {
    if (const std::optional<Text> name = ChosenShortName()) PutOnClipboard(*name);
  });
}

void Form1::CopyShortPath() {
  Guarded([this] {
    const std::optional<Text> name = ChosenShortName();
    if (!name || listed_short_folder_.empty()) return;
    Text path = listed_short_folder_;
    if (path.back() != system_.Separator()) path += system_.Separator();
    PutOnClipboard(path.append(*name));
  });
}

bool Form1::CanCopyFolderShortPath() const { return !listed_short_folder_.empty(); }

void Form1::CopyFolderShortPath() {
  Guarded([this] {
    if (CanCopyFolderShortPath()) PutOnClipboard(listed_short_folder_);
  });
}

Text Form1::List1ToolTip(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= line_splits_.size()) return {};
  Text tip = controls_.List1Line(index);
  // When the origin cannot be told, the line alone, and no box over a
  // tooltip.
  if (const std::optional<ShortNameOrigin> origin =
          OriginOf(NamesOfLine(static_cast<std::size_t>(index)))) {
    tip.append(system_.LineBreak()).append(OriginText(*origin));
  }
  return tip;
}

void Form1::Reload() {
  Guarded([this] {
    // The drives first: one added since is offered, and one gone with the
    // folder shown takes the window away before that folder is read.
    if (FollowDrives()) return;
    LeavingIfGone([this] { SetDir1Path(dir1_path_); });
  });
}

void Form1::Dropped(const std::vector<Text>& paths) {
  Guarded([this, &paths] {
    if (paths.empty()) return;
    const Text& path = paths.front();
    const PathKind kind = path.empty() ? PathKind::Missing : system_.KindOfPath(path);
    const std::size_t last = path.rfind(system_.Separator());
    if (kind == PathKind::Missing || (kind == PathKind::File && last == Text::npos)) {
      SayError(kDropNotUsable, path);
      return;
    }
    if (kind == PathKind::Folder) {
      SetDir1Path(path);
      return;
    }
    SetDir1Path(path.substr(0, last + 1));
    // The refresh chose nothing; the file's line is chosen as a step of its
    // own. A hidden or system file has none.
    const TextView name = TextView(path).substr(last + 1);
    for (std::size_t i = 0; i < line_splits_.size(); ++i) {
      // A line whose long name comes first tells that name's size without
      // being read from the list: most lines of a big folder are passed over
      // unread.
      const std::uint32_t split = line_splits_[i];
      if ((split & kLongNameFirst) != 0 && (split & ~kLongNameFirst) != name.size()) continue;
      if (NamesOfLine(i).long_name == name) {
        controls_.SetList1ListIndex(static_cast<int>(i));
        return;
      }
    }
  });
}

void Form1::ListingFolder(const Text& folder_path, const Text& short_folder_path) {
  listed_folder_ = folder_path;
  listed_short_folder_ = short_folder_path;
}

void Form1::List1Clear() {
  line_splits_ = {};
  controls_.List1Clear();
}

void Form1::List1AddItem(const Text& line, TextView long_name, TextView short_name) {
  if (long_name.size() >= kLongNameFirst || short_name.size() >= kLongNameFirst) {
    throw std::length_error("a name is too long for a line of the list");
  }
  const bool long_first =
      TextView(line).starts_with(long_name) &&
      TextView(line).substr(long_name.size()).starts_with(kNameSeparator) &&
      TextView(line).ends_with(short_name) &&
      line.size() == long_name.size() + TextView(kNameSeparator).size() + short_name.size();
  controls_.List1AddItem(line);
  line_splits_.push_back(long_first ? static_cast<std::uint32_t>(long_name.size()) | kLongNameFirst
                                    : static_cast<std::uint32_t>(short_name.size()));
}

void Form1::CopyLine() {
  Guarded([this] {
    const int chosen = controls_.List1ListIndex();
    if (chosen >= 0) PutOnClipboard(controls_.List1Line(chosen));
  });
}

void Form1::CopyAllLines() {
  Guarded([this] {
    Text lines;
    const int count = controls_.List1ListCount();
    for (int i = 0; i < count; ++i) {
      if (i > 0) lines += system_.LineBreak();
      lines += controls_.List1Line(i);
    }
    PutOnClipboard(lines);
  });
}

void Form1::DrivesChanged() {
  Guarded([this] { FollowDrives(); });
}

bool Form1::FollowDrives() {
  std::vector<Drive> drives = system_.Drives();
  if (drives == drives_) return false;
  const std::optional<Drive> shown = ShownDrive();
  SetDrives(std::move(drives));
  if (!shown || std::ranges::find(drives_, shown->root, &Drive::root) != drives_.end()) {
    // The same drive, wherever its line is now.
    SelectDrive1For(dir1_path_);
    return false;
  }
  // A folder on a drive that is gone may still lie within another drive
  // (a mount point on Linux): the window moves on all the same.
  SayError(kDriveRemoved, shown->text);
  MoveAwayFromRemovedDrive();
  return true;
}

std::optional<Drive> Form1::ShownDrive() const {
  if (shown_drive_ < 0) return std::nullopt;
  return drives_.at(static_cast<std::size_t>(shown_drive_));
}

void Form1::SayError(const char16_t* reason, const Text& subject) {
  controls_.ShowMessage(reason + Text(kLineBreak) + subject, kErrorStyle, kWindowCaption);
}

void Form1::LeaveVanishedFolder() {
  const Text gone = dir1_path_;
  const std::optional<Drive> drive = ShownDrive();
  if (FollowDrives()) return;
  const char16_t separator = system_.Separator();
  std::vector<Text> above;
  for (Text folder = ParentFolder(CleanFolderPath(gone, separator), separator); !folder.empty();
       folder = ParentFolder(folder, separator)) {
    above.push_back(folder);
  }
  try {
    ShowFirstReadable(above);
  } catch (const PlatformError&) {
    // Nothing is left of its drive, though the system still lists it (a
    // drive whose folder went, or one whose going it has not noticed yet).
    SayError(kDriveRemoved, drive ? drive->text : gone);
    MoveAwayFromRemovedDrive();
    return;
  }
  SayError(kFolderGone, gone);
  ListDir1();
}

void Form1::SetDir1Path(const Text& path) {
  ShowFolder(path);
  Dir1_Change();
}

Text Form1::Drive1Drive() const {
  if (chosen_drive_ < 0 || static_cast<std::size_t>(chosen_drive_) >= drives_.size()) {
    return dir1_path_;
  }
  return drives_[static_cast<std::size_t>(chosen_drive_)].root;
}

template <typename Action>
void Form1::Guarded(const Action& action) noexcept {
  try {
    action();
  } catch (...) {
    ReportCurrentException();
  }
}

void Form1::ReportCurrentException() noexcept {
  try {
    Text message;
    try {
      throw;
    } catch (const PlatformError& error) {
      message = ErrorMessage(error);
    } catch (const std::exception& fault) {
      message = InternalFaultMessage(fault);
    } catch (...) {
      message = kInternalError;
    }
    controls_.ShowMessage(message, kErrorStyle, kWindowCaption);
  } catch (...) {
    // Not even the message could be made, for want of memory: the window
    // stays as it is, and the next action may fare better.
  }
}

void Form1::SetDrives(std::vector<Drive> drives) {
  std::vector<Text> lines;
  lines.reserve(drives.size());
  for (const Drive& drive : drives) lines.push_back(drive.text);
  controls_.SetDrive1Lines(lines);
  drives_ = std::move(drives);
  shown_drive_ = -1;
  chosen_drive_ = -1;
}

void Form1::AddDrivePlaces(std::vector<Text>& places) const {
  if (const std::optional<std::size_t> drive = DriveFor(drives_, start_folder_, system_)) {
    places.push_back(drives_[*drive].root);
  }
  if (!drives_.empty()) places.push_back(drives_.front().root);
}

void Form1::ShowFirstReadable(const std::vector<Text>& places) {
  std::exception_ptr last_error;
  for (const Text& place : places) {
    try {
      ShowFolder(place);
      return;
    } catch (const PlatformError&) {
      last_error = std::current_exception();
    }
  }
  if (last_error) std::rethrow_exception(last_error);
  throw PlatformError(ErrorKind::NotFound, {}, "no folder to show");
}

// The start folder, or the top of its drive when the folder itself is gone,
// or else the first drive: the first of them that can be read.
void Form1::MoveAwayFromRemovedDrive() {
  std::vector<Text> places = {start_folder_};
  AddDrivePlaces(places);
  try {
    ShowFirstReadable(places);
  } catch (const PlatformError&) {
    // Nowhere to go: the folder shown is listed again, which leaves no lines
    // of a drive that is gone. That it is gone has been said.
    SelectDrive1For(dir1_path_);
    try {
      ListDir1();
    } catch (const PlatformError& error) {
      if (error.kind() != ErrorKind::NotFound) throw;
    }
    return;
  }
  ListDir1();
}

void Form1::ShowFolder(const Text& path) {
  std::vector<FolderListEntry> entries = FolderListFor(path, system_);
  // The last open folder of the chain is the one shown.
  const auto shown = std::find_if(entries.rbegin(), entries.rend(),
                                  [](const FolderListEntry& entry) { return entry.open; });
  const auto current = static_cast<std::size_t>(std::distance(shown, entries.rend()) - 1);
  controls_.ShowDir1Entries(entries, current);
  dir1_path_ = shown->path;
  dir1_entries_ = std::move(entries);
  SelectDrive1For(dir1_path_);
}

void Form1::SelectDrive1For(const Text& path) {
  // A folder on a share that no drive is mapped to: no drive is chosen.
  const std::optional<std::size_t> drive = DriveFor(drives_, path, system_);
  shown_drive_ = drive ? static_cast<int>(*drive) : -1;
  chosen_drive_ = shown_drive_;
  controls_.SetDrive1Index(shown_drive_);
}

void Form1::Refresh() {
  Guarded([this] { LeavingIfGone([this] { ListDir1(); }); });
}

template <typename Action>
void Form1::LeavingIfGone(const Action& action) {
  try {
    action();
  } catch (const PlatformError& error) {
    if (error.kind() != ErrorKind::NotFound) throw;
    LeaveVanishedFolder();
  }
}

void Form1::ListDir1() {
  // The busy cursor for the life of the refresh: off again before any
  // message box, and also when the refresh fails.
  controls_.SetBusyCursor(true);
  const ScopeExit cursor_back([this] { controls_.SetBusyCursor(false); });
  ListFileName(*this, system_);
}

}  // namespace tarnwick
