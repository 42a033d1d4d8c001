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

// The busy cursor for the life of a refresh: off again before any message
// box, and also when the refresh fails.
class BusyCursor {
 public:
  explicit BusyCursor(WindowControls& controls) : controls_(controls) {
    controls_.SetBusyCursor(true);
  }
  ~BusyCursor() { controls_.SetBusyCursor(false); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  WindowControls& controls_;
};

}  // namespace

Text AboutText() { return Text(kWindowCaption) + kLineBreak + Text(40, u' ') + u"by " + kCredit; }

Text ErrorMessage(const PlatformError& error) {
  // The reason, the folder, and the system's own words.
  return ReasonFor(error.kind()) + Text(kLineBreak) + error.path() + kLineBreak + kLineBreak +
         DescriptionOf(error);
}

Text InternalFaultMessage(const std::exception& fault) {
  return kInternalError + Text(kLineBreak) + kLineBreak + DescriptionOf(fault);
}

void Form1::Start(const Text& start_folder) {
  start_folder_ = start_folder;
  SetDrives(system_.Drives());
  ShowFolder(start_folder);
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

void Form1::CopyLine() {
  Guarded([this] {
    const int chosen = controls_.List1ListIndex();
    if (chosen >= 0) controls_.SetClipboardText(controls_.List1Line(chosen));
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
    controls_.SetClipboardText(lines);
  });
}

void Form1::DrivesChanged() {
  Guarded([this] {
    std::vector<Drive> drives = system_.Drives();
    if (drives == drives_) return;
    std::optional<Drive> shown;
    if (shown_drive_ >= 0) shown = drives_[static_cast<std::size_t>(shown_drive_)];
    SetDrives(std::move(drives));
    if (!shown || std::ranges::find(drives_, shown->root, &Drive::root) != drives_.end()) {
      // The same drive, wherever its line is now.
      SelectDrive1For(dir1_path_);
      return;
    }
    // A folder on a drive that is gone may still lie within another drive
    // (a mount point on Linux): the window moves on all the same.
    controls_.ShowMessage(kDriveRemoved + Text(kLineBreak) + shown->text, kErrorStyle,
                          kWindowCaption);
    MoveAwayFromRemovedDrive();
  });
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

// The start folder, or the top of its drive when the folder itself is gone,
// or else the first drive: the first of them that can be read.
void Form1::MoveAwayFromRemovedDrive() {
  std::vector<Text> places = {start_folder_};
  if (const std::optional<std::size_t> drive = DriveFor(drives_, start_folder_, system_)) {
    places.push_back(drives_[*drive].root);
  }
  if (!drives_.empty()) places.push_back(drives_.front().root);
  for (const Text& place : places) {
    try {
      SetDir1Path(place);
      return;
    } catch (const PlatformError&) {
      // Then the next place.
    }
  }
  // Nowhere to go: the folder shown is listed again, which says why it
  // cannot be and leaves no lines of a drive that is gone.
  SelectDrive1For(dir1_path_);
  Refresh();
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
  Guarded([this] {
    const BusyCursor busy(controls_);
    ListFileName(*this, system_);
  });
}

}  // namespace tarnwick
