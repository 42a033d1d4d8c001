#include "window/main_window.h"

#include <algorithm>
#include <exception>
#include <optional>

#include "listing/listing_refresh.h"
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

}  // namespace

Text AboutText() { return Text(kWindowCaption) + kLineBreak + Text(40, u' ') + u"by " + kCredit; }

Text ErrorMessage(const PlatformError& error) {
  // The reason, the folder, and the system's own words.
  return ReasonFor(error.kind()) + Text(kLineBreak) + error.path() + kLineBreak + kLineBreak +
         DescriptionOf(error);
}

void Form1::Start(const Text& start_folder) {
  drives_ = system_.Drives();
  std::vector<Text> lines;
  lines.reserve(drives_.size());
  for (const Drive& drive : drives_) lines.push_back(drive.text);
  controls_.SetDrive1Lines(lines);
  ShowFolder(start_folder);
}

void Form1::Form_Load() { Refresh(); }

void Form1::Drive1_Change() {
  try {
    SetDir1Path(Drive1Drive());
  } catch (const PlatformError& error) {
    // The folder list still shows the folder it showed: so does the drive list.
    SelectDrive1For(dir1_path_);
    ReportError(error);
  }
}

void Form1::Dir1_Change() { Refresh(); }

void Form1::Option1_Click(int /*Index*/) { Refresh(); }

void Form1::Command1_Click() {
  controls_.ShowMessage(AboutText(), kInformationStyle, kAboutCaption);
}

void Form1::Drive1Chosen(int index) {
  chosen_drive_ = index;
  if (index != shown_drive_) Drive1_Change();
}

void Form1::Dir1Opened(std::size_t index) {
  if (index >= dir1_entries_.size()) return;
  try {
    SetDir1Path(dir1_entries_[index].path);
  } catch (const PlatformError& error) {
    ReportError(error);
  }
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

void Form1::ReportError(const PlatformError& error) {
  controls_.ShowMessage(ErrorMessage(error), kErrorStyle, kWindowCaption);
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
  if (const std::optional<std::size_t> drive = DriveFor(drives_, path, system_)) {
    shown_drive_ = static_cast<int>(*drive);
  }
  chosen_drive_ = shown_drive_;
  controls_.SetDrive1Index(shown_drive_);
}

void Form1::Refresh() {
  std::optional<PlatformError> failure;
  {
    // Off again before any message box, and also when the refresh fails.
    struct BusyCursor {
      WindowControls& controls;
      explicit BusyCursor(WindowControls& window) : controls(window) {
        controls.SetBusyCursor(true);
      }
      ~BusyCursor() { controls.SetBusyCursor(false); }
    } busy(controls_);
    try {
      ListFileName(*this, system_);
    } catch (const PlatformError& error) {
      failure = error;
    } catch (const std::exception& error) {
      // An internal fault (a failed bound or count): said, not hidden.
      failure = PlatformError(ErrorKind::Other, dir1_path_, error.what());
    }
  }
  if (failure) ReportError(*failure);
}

}  // namespace tarnwick
