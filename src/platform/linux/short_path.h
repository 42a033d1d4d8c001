// The short form of a Linux path, component by component, the stand-in for
// the Windows short-path service.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/linux/short_name_table.h"
#include "platform/linux/vfat_names.h"

namespace tarnwick::on_linux {

// Where the short names of a folder's entries come from.
enum class ShortNameSource {
  FatRules,           // a disk that keeps none: they are made by the FAT rules
  FatRulesOverNtfs3,  // a Windows disk through the kernel's ntfs3 driver, which
                      // does not give out the short names it keeps: the FAT
                      // rules stand in for them
  Ntfs3g,             // a Windows disk through ntfs-3g: an extended attribute of each entry
  Vfat,               // a FAT disk through the vfat driver: the whole folder at once
  OwnNames,           // an exFAT disk, which keeps no short names: as on Windows,
                      // each entry goes by its own name
};

// The best source for the disk that `folder` lies on, found with one statfs
// (and, on a FUSE disk, one look at the folder's attributes and, where they
// are not ntfs-3g's, one at the disk's boot sector).
ShortNameSource ShortNameSourceOf(const std::string& folder);

// Where the short names of the entries of a folder (file-name bytes) come from.
using ShortNameSourceReader = std::function<ShortNameSource(const std::string& folder)>;

// The same for a disk of the file-system type `type` (statfs's f_type).
// Only of a FUSE disk are `answers_for_windows_attributes` (ntfs-3g) and
// then `holds_exfat` (exfat-fuse) asked.
ShortNameSource ShortNameSourceFor(std::int64_t type,
                                   const std::function<bool()>& answers_for_windows_attributes,
                                   const std::function<bool()>& holds_exfat);

// What identifies one state of a folder: a change to its entries changes its
// modification and change times, on a disk that keeps them exactly.
struct FolderState {
  dev_t device = 0;
  ino_t inode = 0;
  std::int64_t modified_ns = 0;
  std::int64_t changed_ns = 0;
  bool operator==(const FolderState&) const = default;
};

// The state of `folder`, or nullopt when it is no folder (or not there).
using FolderStateReader = std::function<std::optional<FolderState>(const std::string& folder)>;
std::optional<FolderState> ReadFolderState(const std::string& folder);

// The same for a folder open as `descriptor`.
std::optional<FolderState> ReadHeldFolderState(int descriptor);

// Every entry of one folder but "." and "..", read whole, in one buffer; and
// the folder's state and the time just before the reading began.
struct FolderNames {
  FolderState state;
  std::int64_t read_from_ns = 0;
  std::string bytes;                // the names, one after another
  std::vector<std::uint32_t> ends;  // where each ends in `bytes`
  std::size_t files_listed = 0;     // of them, those a listing shows

  void Add(std::string_view name);
};

// Whether a folder read whole at `read_from_ns` in the state `state` missed
// no change made while it was read, so that any later change moves its
// state: the times are exact, and the last change lies further back than
// the file system's clock step. Never on a FAT disk (`source`), whose times
// move in 2 s steps.
bool StateTellsChanges(const FolderState& state, ShortNameSource source, std::int64_t read_from_ns);

// The time now, in nanoseconds, by the clock the folders' times are read by.
std::int64_t NowNs();

// The vfat driver's names of every entry of a folder, or nullopt where it
// does not answer.
using VfatFolderReader =
    std::function<std::optional<std::vector<VfatNames>>(const std::string& folder)>;

class ShortPathResolver {
 public:
  // How long the folder walked last is taken to be as it was when looked
  // at, for the files asked for in it: a refresh asks for its folder's path
  // first, which is always looked at afresh, and then for each file.
  static constexpr std::int64_t kFolderTrustedNs = 1'000'000;

  // The disks are asked through `read_state`, `source_of` and
  // `read_vfat_folder`, which a test may stand in for.
  explicit ShortPathResolver(FolderStateReader read_state = ReadFolderState,
                             ShortNameSourceReader source_of = ShortNameSourceOf,
                             VfatFolderReader read_vfat_folder = ReadVfatFolder)
      : read_state_(std::move(read_state)),
        source_of_(std::move(source_of)),
        read_vfat_folder_(std::move(read_vfat_folder)) {}

  // The short form of `path` (file-name bytes): each component replaced by
  // its short name in its folder, the separators as they stand ("/" stays
  // "/", a final "/" stays). nullopt when a component does not exist.
  // Each component gets the best short name that its own disk has, so a
  // path that crosses into a mounted disk mixes names from both.
  // An entry of a folder that may be passed through but not listed gets the
  // name that the FAT rules give its own name alone.
  // The path of a folder is always looked at afresh, so each listing, which
  // starts with its folder, shows the names as they are.
  std::optional<std::string> ShortPath(std::string_view path);

  // The same, written over `short_path`, whose room serves call after call;
  // false where ShortPath gives nullopt, leaving `short_path` unspecified.
  bool ShortPathInto(std::string_view path, std::string& short_path);

  // The whole of a folder as someone else read it (the enumeration of a
  // listing, which reads every entry before the files are asked for): the
  // folder's table is made from these names rather than from a read of its
  // own, as long as the folder is still in the state they were read in, and
  // that state tells every change or they were read since the folder's path
  // was last walked (a table then serves only that walk, as one read by
  // itself would). Only the last names given are kept.
  void TakeFolderNames(FolderNames names);

  // Whether names of the folder in `state` would serve: not where they are
  // held already (a listing's second pass), nor where the folder's short
  // names are known for that state or come from its disk.
  bool WantsFolderNames(const FolderState& state) const;

 private:
  // The short names of one folder, all read at once where `listed`; none
  // where the disk answers for one name at a time. A table is kept for the
  // next look at the folder only where `state` tells every change; others
  // serve the look in which they were read (`walk`) and the files of that
  // folder asked for after it. By the FAT rules, the names are made when
  // the first is asked for (`made`): a listing asks for its folder's path
  // before it reads the folder, and for the files after.
  struct FolderTable {
    FolderState state;
    ShortNameSource source = ShortNameSource::FatRules;
    bool listed = false;
    bool made = false;
    bool state_tells_changes = false;
    std::uint64_t walk = 0;
    // For a big folder's table made from a listing's names: how many of the
    // files it lists are still to be asked for before it is let go.
    std::size_t answers_left = 0;
    ShortNameTable short_names;
  };

  struct InodeHash {
    std::size_t operator()(const std::pair<dev_t, ino_t>& id) const {
      return std::hash<std::uint64_t>{}(static_cast<std::uint64_t>(id.second) * 31 +
                                        static_cast<std::uint64_t>(id.first));
    }
  };

  // The last folder walked to: the path up to it as it was asked for, the
  // folder as it is looked at, its short form, its state then, where its
  // short names come from, and when it was last seen in that state (by the
  // steady clock).
  struct Walk {
    std::string prefix;
    std::string folder;
    std::string short_prefix;
    FolderState state;
    ShortNameSource source = ShortNameSource::FatRules;
    std::int64_t seen_ns = 0;
  };

  // The short name of `name` in `folder` (in `state`), or nullopt when it is
  // not there.
  std::optional<std::string> ShortNameIn(const std::string& folder, const FolderState& state,
                                         std::string_view name);

  FolderTable& TableFor(const std::string& folder, const FolderState& state);
  // Makes the short names of a folder by the FAT rules, or of its own names
  // on a disk that keeps none (exFAT).
  void MakeNames(FolderTable& table, const std::string& folder);
  // Lets go of the names taken of the folder with this device and inode.
  void DropTakenNamesOf(const FolderState& state);

  // Whether the folder walked last is still as it was then.
  bool LastWalkStands();

  FolderStateReader read_state_;
  ShortNameSourceReader source_of_;
  VfatFolderReader read_vfat_folder_;
  std::optional<FolderNames> taken_names_;
  std::uint64_t taken_names_walk_ = 0;
  // Folders seen lately; cleared when it grows past a few dozen.
  std::unordered_map<std::pair<dev_t, ino_t>, FolderTable, InodeHash> tables_;
  Walk last_walk_;
  std::uint64_t walks_ = 0;  // whole paths looked at
};

}  // namespace tarnwick::on_linux
