// Form1, the program's one window, as state and handlers: the drive and
// folder it shows, the handlers that the toolkits call for the controls'
// notifications, and the reports of what went wrong. It reaches the controls
// only through the window seam and the system only through the system seam.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <optional>
#include <vector>

#include "platform/system_services.h"
#include "window/folder_list.h"
#include "window/window_controls.h"

namespace tarnwick {

// The about box's text: the caption, CR LF, 40 spaces, "by " and the credit.
Text AboutText();

// A clear Japanese message for an error that a user's action ran into.
Text ErrorMessage(const PlatformError& error);

// The message for a fault of the program's own (no memory left, a failed
// count), with its description.
Text InternalFaultMessage(const std::exception& fault);

class Form1 final : public ListingControls {
 public:
  Form1(WindowControls& controls, SystemServices& system) : controls_(controls), system_(system) {}

  // Before Form_Load: the drive list gets the system's drives and the folder
  // list shows `start_folder` (the process's current folder), which are the
  // lists' own starting values. When that folder cannot be read, a message
  // says why and the window starts in the user's home folder, or the top of
  // the start folder's drive, or the first drive. Throws PlatformError when
  // none of them can be read.
  void Start(const Text& start_folder);

  // The handlers, one for each notification.
  void Form_Load();
  void Drive1_Change();
  void Dir1_Change();
  void Option1_Click(int Index);
  void Command1_Click();

  // What the toolkits' controls do themselves. Choosing the drive list's
  // line `index`: another drive than the one shown raises its Change.
  void Drive1Chosen(int index);
  // Opening the folder list's entry `index` (by a double-click or Enter).
  void Dir1Opened(std::size_t index);
  // The list's menu and Ctrl+C: the chosen line, or every line in the list's
  // order with the system's line break between them, go to the clipboard as
  // they are shown; nothing else changes. With no line chosen, "コピー" is
  // greyed out and Ctrl+C does nothing; so is "すべての行をコピー" on an
  // empty list.
  bool CanCopyLine() const;
  void CopyLine();
  bool CanCopyAllLines() const;
  void CopyAllLines();
  // "短い名前をコピー" copies the chosen file's short name; "短いパスをコピー"
  // and Ctrl+Shift+C its short path, the folder's short path as the label
  // shows it followed by the short name. Both are greyed out, and do
  // nothing, when no line is chosen or its file has no short name: none
  // was got, or the disk keeps none for it (ShortNameOrigin::None).
  bool CanCopyShortName() const;
  void CopyShortName();
  // Greyed out too when the folder has no short path.
  bool CanCopyShortPath() const;
  void CopyShortPath();
  // The label's menu: "パスをコピー" copies the folder's short path, greyed
  // out when it has none.
  bool CanCopyFolderShortPath() const;
  void CopyFolderShortPath();
  // The tooltip of line `index`: the whole line, then where its short name
  // comes from. Empty for a line that is not there.
  Text List1ToolTip(int index);
  // F5: the drive list, and the folder shown, the folder list and the
  // listing, are read again.
  void Reload();
  // Paths dropped on the window; the first counts. A folder is shown; a
  // file's folder is shown and then its line chosen. Anything else is
  // reported, and nothing changes.
  void Dropped(const std::vector<Text>& paths);
  // The system says that drives came or went: the drive list follows, still
  // on the drive shown. When that drive is gone, a message says so and the
  // window moves to the start folder, or its drive, or the first drive.
  void DrivesChanged();

  // None of the above lets an error out to the toolkit: each is reported in
  // a message box, and the window stays as it was. But any of them that
  // finds the folder shown gone says so once and moves the window: up to the
  // nearest folder above it that is still there, or, when its drive is gone
  // or nothing of it is left, as DrivesChanged does for a drive that is gone.

  // Reports the exception being handled, from a catch block of a toolkit's
  // own code, as the handlers do theirs.
  void ReportCurrentException() noexcept;

  // `Dir1`: the folder shown.
  Text Dir1Path() const override { return dir1_path_; }
  // `Dir1`: shows the folder `path` and raises Change. Throws PlatformError,
  // still showing the folder it showed and raising nothing, when `path`
  // cannot be read.
  void SetDir1Path(const Text& path);
  // `Drive1`: the root of the chosen drive.
  Text Drive1Drive() const;

  // The listing's display is the toolkit's; the names of the lines and the
  // folder they are in are kept here.
  bool Option1Item0Value() const override { return controls_.Option1Item0Value(); }
  void ListingFolder(const Text& folder_path, const Text& short_folder_path) override;
  void SetLabel1Caption(const Text& caption) override { controls_.SetLabel1Caption(caption); }
  void List1Clear() override;
  void List1AddItem(const Text& line, TextView long_name, TextView short_name) override;
  void SetList1Redraw(bool redraw) override { controls_.SetList1Redraw(redraw); }

 private:
  // Runs `action` as the whole of a handler, reporting any error.
  template <typename Action>
  void Guarded(const Action& action) noexcept;
  // Puts `text` on the clipboard, or says that it cannot.
  void PutOnClipboard(const Text& text);
  void SetDrives(std::vector<Drive> drives);
  // The drive list follows the system's drives, as DrivesChanged says;
  // true when the window moved away from a drive that is gone.
  bool FollowDrives();
  // The drive of the folder shown, if a drive holds it.
  std::optional<Drive> ShownDrive() const;
  void MoveAwayFromRemovedDrive();
  // Runs `action`, which reads the folder shown; when that folder is gone,
  // the window leaves it.
  template <typename Action>
  void LeavingIfGone(const Action& action);
  // The folder shown is gone: says so once and moves up to the nearest
  // folder above it that is still there, or away from its drive when the
  // drive is gone or nothing of it is left.
  void LeaveVanishedFolder();
  // A message box with the error icon: `reason`, then what it concerns.
  void SayError(const char16_t* reason, const Text& subject);
  // Draws the folder list for `path` and chooses its drive; throws
  // PlatformError, changing nothing, when it cannot be read.
  void ShowFolder(const Text& path);
  // Chooses the drive that holds `path` in the drive list, if any does.
  void SelectDrive1For(const Text& path);
  // The refresh; an error is reported, not passed on to the toolkit, and a
  // folder that is gone is left.
  void Refresh();
  // The refresh itself, under the busy cursor; throws what it runs into.
  void ListDir1();
  // Shows the first of `places` that can be read; throws the last error when
  // none can.
  void ShowFirstReadable(const std::vector<Text>& places);
  // Adds the top of the start folder's drive and the first drive.
  void AddDrivePlaces(std::vector<Text>& places) const;
  // The short name on the chosen line, or nullopt when no line is chosen or
  // its file has none.
  std::optional<Text> ChosenShortName() const;
  // The long and the short name that line `line` pairs, cut from the line.
  struct LineNames {
    Text long_name;
    Text short_name;
  };
  LineNames NamesOfLine(std::size_t line) const;
  // Where the short name of a listed file comes from; nullopt when that
  // cannot be told.
  std::optional<ShortNameOrigin> OriginOf(const LineNames& names) const;

  WindowControls& controls_;
  SystemServices& system_;
  Text start_folder_;
  std::vector<Drive> drives_;
  int shown_drive_ = -1;   // the line of the drive that holds the folder shown
  int chosen_drive_ = -1;  // the line the user chose
  std::vector<FolderListEntry> dir1_entries_;
  Text dir1_path_;
  // What the last refresh listed: its folder, that folder's short form, and
  // where each line's names part, in the list's order: the size of the name
  // that comes first, and in the top bit whether that is the long name. The
  // names are cut from the line when asked for rather than held twice (a
  // name may itself hold the separator).
  Text listed_folder_;
  Text listed_short_folder_;
  std::vector<std::uint32_t> line_splits_;
};

}  // namespace tarnwick
