#include "platform/linux/short_path.h"

#include <dirent.h>
#include <linux/magic.h>
#include <malloc.h>
#include <sys/stat.h>
#include <sys/vfs.h>

#include <ctime>
#include <limits>
#include <stdexcept>
#include <vector>

#include "fat/fat_short_names.h"
#include "platform/linux/exfat_disks.h"
#include "platform/linux/folder_reader.h"
#include "platform/linux/ntfs_names.h"

namespace tarnwick::on_linux {
namespace {

constexpr std::size_t kMostFoldersKept = 64;
constexpr std::size_t kBigFolder = 10000;

// The f_type of a disk mounted through the kernel's ntfs3 driver ("ntfs" in
// ASCII), which linux/magic.h does not name.
constexpr std::int64_t kNtfs3Magic = 0x7366746e;

// The file systems' clocks move in steps (of a few milliseconds on Linux's
// own disks, 2 s on FAT): a folder changed this recently may change again
// without its times moving.
constexpr std::int64_t kClockStepNs = 2'000'000'000;

std::int64_t Nanoseconds(const timespec& time) {
  return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

// Every entry of the folder but "." and ".."; nullopt when it cannot be read.
std::optional<FolderNames> ReadEntryNames(const std::string& folder) {
  FolderReader reader(folder);
  FolderNames names;
  while (const dirent* entry = reader.Next()) names.Add(entry->d_name);
  if (reader.error() != 0) return std::nullopt;
  return names;
}

std::optional<FolderState> StateOf(const struct stat& status) {
  if (!S_ISDIR(status.st_mode)) return std::nullopt;
  return FolderState{status.st_dev, status.st_ino, Nanoseconds(status.st_mtim),
                     Nanoseconds(status.st_ctim)};
}

}  // namespace

ShortNameSource ShortNameSourceOf(const std::string& folder) {
  struct statfs disk {};
  if (::statfs(folder.c_str(), &disk) != 0) return ShortNameSource::FatRules;
  return ShortNameSourceFor(
      static_cast<std::int64_t>(disk.f_type),
      [&folder] { return AnswersForWindowsAttributes(folder); },
      [&folder] { return FolderOnExfatDevice(folder); });
}

ShortNameSource ShortNameSourceFor(std::int64_t type,
                                   const std::function<bool()>& answers_for_windows_attributes,
                                   const std::function<bool()>& holds_exfat) {
  if (type == MSDOS_SUPER_MAGIC) return ShortNameSource::Vfat;
  if (type == kNtfs3Magic) return ShortNameSource::FatRulesOverNtfs3;
  if (type == EXFAT_SUPER_MAGIC) return ShortNameSource::OwnNames;
  if (type == FUSE_SUPER_MAGIC) {
    if (answers_for_windows_attributes()) return ShortNameSource::Ntfs3g;
    if (holds_exfat()) return ShortNameSource::OwnNames;
  }
  return ShortNameSource::FatRules;
}

std::optional<FolderState> ReadFolderState(const std::string& folder) {
  struct stat status {};
  if (::stat(folder.c_str(), &status) != 0) return std::nullopt;
  return StateOf(status);
}

std::optional<FolderState> ReadHeldFolderState(int descriptor) {
  struct stat status {};
  if (::fstat(descriptor, &status) != 0) return std::nullopt;
  return StateOf(status);
}

void FolderNames::Add(std::string_view name) {
  if (name.size() > std::numeric_limits<std::uint32_t>::max() - bytes.size()) {
    throw std::length_error("the folder's names are too long to hold at once");
  }
  bytes.append(name);
  ends.push_back(static_cast<std::uint32_t>(bytes.size()));
}

// Not on a FAT disk, whose root has no times and whose others move in 2 s
// steps; not where the times are unset or whole milliseconds (a disk that
// keeps them coarsely); and not while a change could still fall into the
// clock step of the last one.
bool StateTellsChanges(const FolderState& state, ShortNameSource source,
                       std::int64_t read_from_ns) {
  if (source == ShortNameSource::Vfat) return false;
  const auto exact = [](std::int64_t ns) { return ns != 0 && ns % 1'000'000 != 0; };
  if (!exact(state.modified_ns) || !exact(state.changed_ns)) return false;
  return read_from_ns - std::max(state.modified_ns, state.changed_ns) > kClockStepNs;
}

std::int64_t NowNs() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return Nanoseconds(now);
}

namespace {

std::int64_t SteadyNs() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return Nanoseconds(now);
}

}  // namespace

bool ShortPathResolver::WantsFolderNames(const FolderState& state) const {
  if (taken_names_ && taken_names_->state == state) return false;
  const auto found = tables_.find({state.device, state.inode});
  return found == tables_.end() || !found->second.made || found->second.state != state;
}

void ShortPathResolver::TakeFolderNames(FolderNames names) {
  if (!WantsFolderNames(names.state)) return;
  taken_names_ = std::move(names);
  taken_names_walk_ = walks_;
}

bool ShortPathResolver::ShortPathInto(std::string_view path, std::string& result) {
  if (path.empty()) return false;
  // A file of the folder walked last: on a disk that answers for one name at
  // a time, one question to it; elsewhere, where that folder has not changed
  // since, no look at every folder on the way. A folder's own path is always
  // walked whole, so every listing, which starts with its folder, sees the
  // folders on the way as they are.
  const std::size_t last_slash = path.rfind('/');
  if (last_slash != std::string_view::npos && last_slash + 1 < path.size() &&
      last_walk_.prefix == path.substr(0, last_slash + 1)) {
    const std::string_view name = path.substr(last_slash + 1);
    std::optional<std::string> short_name;
    bool answered = false;
    if (last_walk_.source == ShortNameSource::Ntfs3g && name != "." && name != "..") {
      short_name = NtfsShortNameOf(last_walk_.folder, std::string(name));
      answered = true;
    } else if (LastWalkStands()) {
      short_name = ShortNameIn(last_walk_.folder, last_walk_.state, name);
      answered = true;
    }
    if (answered) {
      if (!short_name) return false;
      result.assign(last_walk_.short_prefix).append(*short_name);
      return true;
    }
  }

  ++walks_;
  result.clear();
  std::string folder = path.front() == '/' ? "/" : "./";
  std::optional<FolderState> state = read_state_(folder);
  std::size_t position = 0;
  Walk walk;
  while (position < path.size()) {
    if (!state) return false;
    if (path[position] == '/') {
      result += '/';
      ++position;
      continue;
    }
    walk = {std::string(path.substr(0, position)), folder, result, *state,
            TableFor(folder, *state).source};
    const std::size_t end = std::min(path.find('/', position), path.size());
    const std::string_view name = path.substr(position, end - position);
    std::optional<std::string> short_name = ShortNameIn(folder, *state, name);
    if (!short_name) return false;
    result += *short_name;
    folder += name;
    folder += '/';
    position = end;
    // Where more follows, this must be a folder.
    if (position < path.size()) state = read_state_(folder);
  }
  if (path.back() == '/') {
    // A final "/" asks for a folder, as it does of the file system.
    if (!state) return false;
    walk = {std::string(path), folder, result, *state, TableFor(folder, *state).source};
  }
  walk.seen_ns = SteadyNs();
  last_walk_ = std::move(walk);
  return true;
}

std::optional<std::string> ShortPathResolver::ShortPath(std::string_view path) {
  std::string short_path;
  if (!ShortPathInto(path, short_path)) return std::nullopt;
  return short_path;
}

// The folder is looked at again once the last look is a millisecond old,
// not for every file: a look takes its path from the top (0.8 µs, most of
// what a file's short name cost), and a refresh of 100,000 files asks for
// about a thousand files a millisecond. A change the look would have seen
// at once shows at most that much later, which is no change to what a
// refresh shows: one begun after a change always sees it (it looks at its
// folder first), and a change made while one runs races it either way, as
// its files are asked for one after another. A descriptor held on the folder
// would make the look cheaper but keep a removable disk from being taken out.
bool ShortPathResolver::LastWalkStands() {
  const std::int64_t now_ns = SteadyNs();
  if (now_ns - last_walk_.seen_ns < kFolderTrustedNs) return true;
  const std::optional<FolderState> state = read_state_(last_walk_.folder);
  if (!state || *state != last_walk_.state) return false;
  last_walk_.seen_ns = now_ns;
  return true;
}

std::optional<std::string> ShortPathResolver::ShortNameIn(const std::string& folder,
                                                          const FolderState& state,
                                                          std::string_view name) {
  if (name == "." || name == "..") return std::string(name);
  FolderTable& table = TableFor(folder, state);
  if (!table.made) MakeNames(table, folder);
  if (const std::optional<std::string_view> found = table.short_names.Find(name)) {
    std::string short_name(*found);
    if (table.answers_left > 0 && --table.answers_left == 0) {
      tables_.erase({state.device, state.inode});
      // What the big table took goes back to the system at once, so that
      // the refresh's next arrays do not come on top of it.
      ::malloc_trim(0);
    }
    return short_name;
  }
  if (table.listed) return std::nullopt;
  const std::string file(name);
  // Asked anew each time: one question costs what a look at the folder
  // would, and the answer is never stale.
  if (table.source == ShortNameSource::Ntfs3g) return NtfsShortNameOf(folder, file);
  // A folder that may be passed through but not read: only the names asked
  // for are known, so each gets what the FAT rules make of it alone, as long
  // as it is there.
  struct stat entry {};
  if (::lstat((folder + file).c_str(), &entry) != 0) return std::nullopt;
  if (table.source == ShortNameSource::OwnNames) return file;
  return fat::MakeShortNames({file}).front();
}

ShortPathResolver::FolderTable& ShortPathResolver::TableFor(const std::string& folder,
                                                            const FolderState& state) {
  const std::pair id{state.device, state.inode};
  if (const auto found = tables_.find(id);
      found != tables_.end() && found->second.state == state &&
      (found->second.state_tells_changes || found->second.walk == walks_)) {
    return found->second;
  }
  if (tables_.size() >= kMostFoldersKept) tables_.clear();
  FolderTable& table = tables_[id];
  table = FolderTable{state, source_of_(folder), false, false, false, walks_, 0, {}};
  table.state_tells_changes = StateTellsChanges(state, table.source, NowNs());
  switch (table.source) {
    case ShortNameSource::Ntfs3g:
      // Asked one name at a time: a folder on the way to another is asked
      // for one name, not read whole.
      table.made = true;
      DropTakenNamesOf(state);
      return table;
    case ShortNameSource::Vfat:
      table.made = true;
      if (std::optional<std::vector<VfatNames>> names = read_vfat_folder_(folder)) {
        table.short_names = ShortNamesByName(std::move(*names));
        table.listed = true;
        DropTakenNamesOf(state);
        return table;
      }
      // The driver would not answer: the names are made as on any other disk.
      table.source = ShortNameSource::FatRules;
      table.made = false;
      break;
    case ShortNameSource::FatRules:
    case ShortNameSource::FatRulesOverNtfs3:
    case ShortNameSource::OwnNames:
      break;
  }
  return table;
}

void ShortPathResolver::DropTakenNamesOf(const FolderState& state) {
  if (taken_names_ && taken_names_->state.device == state.device &&
      taken_names_->state.inode == state.inode) {
    taken_names_.reset();
  }
}

void ShortPathResolver::MakeNames(FolderTable& table, const std::string& folder) {
  table.made = true;
  // The enumeration's names serve where they are of this folder as it is
  // now, and nothing can have changed unseen while they were read, or where
  // they were read in the walk this table serves, after its state was read.
  std::optional<FolderNames> names;
  if (taken_names_ && taken_names_->state == table.state &&
      (taken_names_walk_ == table.walk ||
       StateTellsChanges(taken_names_->state, table.source, taken_names_->read_from_ns))) {
    names = std::move(taken_names_);
  }
  DropTakenNamesOf(table.state);
  // A big folder's table costs more memory than making it again costs time
  // (the names are read by every listing anyway): it is let go once the
  // listing that read them has asked for each of its files, as a refresh
  // does, once a file. It is made again if asked for again.
  if (names && names->files_listed >= kBigFolder) table.answers_left = names->files_listed;
  if (!names) names = ReadEntryNames(folder);
  if (!names) return;
  // The table keeps the names where they were read into, fitted first: the
  // copy costs its memory for a moment before the rules take theirs, and the
  // room saved stays free while they run. Short names take at most 12 bytes
  // in code page 932, and seldom more in UTF-8; an entry that goes by its own
  // name takes all of it again.
  names->bytes.shrink_to_fit();
  const bool own_names = table.source == ShortNameSource::OwnNames;
  const std::size_t count = names->ends.size();
  const std::size_t short_bytes = own_names ? names->bytes.size() : 13 * count;
  table.short_names = ShortNameTable(std::move(names->bytes), count, short_bytes);
  const std::vector<std::uint32_t> ends = std::move(names->ends);
  names.reset();
  const fat::PackedNames own{table.short_names.names(), ends};
  if (own_names) {
    for (std::size_t i = 0; i < own.size(); ++i) {
      table.short_names.SetOwn(own.StartOf(i), own[i].size(), own[i]);
    }
  } else {
    fat::MakeShortNames(own, [&](std::size_t i, std::string_view short_name) {
      if (!short_name.empty()) table.short_names.SetOwn(own.StartOf(i), own[i].size(), short_name);
    });
  }
  table.short_names.ShrinkToFit();
  table.listed = true;
  // Making the names of a big folder took many small pieces of memory, all
  // given back by now: the system gets them back too, rather than the
  // process holding them for the rest of its life.
  if (ends.size() >= kBigFolder) ::malloc_trim(0);
}

}  // namespace tarnwick::on_linux
