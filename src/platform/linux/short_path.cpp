#include "platform/linux/short_path.h"

#include <dirent.h>
#include <linux/magic.h>
#include <malloc.h>
#include <sys/stat.h>
#include <sys/vfs.h>

#include <ctime>
#include <vector>

#include "fat/fat_short_names.h"
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
std::optional<std::vector<std::string>> ReadEntryNames(const std::string& folder) {
  FolderReader reader(folder);
  std::vector<std::string> names;
  while (const dirent* entry = reader.Next()) names.emplace_back(entry->d_name);
  if (reader.error() != 0) return std::nullopt;
  return names;
}

}  // namespace

ShortNameSource ShortNameSourceOf(const std::string& folder) {
  struct statfs disk {};
  if (::statfs(folder.c_str(), &disk) != 0) return ShortNameSource::FatRules;
  return ShortNameSourceFor(static_cast<std::int64_t>(disk.f_type),
                            [&folder] { return AnswersForWindowsAttributes(folder); });
}

ShortNameSource ShortNameSourceFor(std::int64_t type,
                                   const std::function<bool()>& answers_for_windows_attributes) {
  if (type == MSDOS_SUPER_MAGIC) return ShortNameSource::Vfat;
  if (type == kNtfs3Magic) return ShortNameSource::FatRulesOverNtfs3;
  if (type == FUSE_SUPER_MAGIC && answers_for_windows_attributes()) {
    return ShortNameSource::Ntfs3g;
  }
  return ShortNameSource::FatRules;
}

std::optional<FolderState> ReadFolderState(const std::string& folder) {
  struct stat status {};
  if (::stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) return std::nullopt;
  return FolderState{status.st_dev, status.st_ino, Nanoseconds(status.st_mtim),
                     Nanoseconds(status.st_ctim)};
}

namespace {

// Whether the state, read at `now_ns`, will tell every later change of the
// folder's entries. Not on a FAT disk, whose root has no times and whose
// others move in 2 s steps; not where the times are unset or whole
// milliseconds (a disk that keeps them coarsely); and not while a change
// could still fall into the clock step of the last one.
bool StateTellsChanges(const FolderState& state, ShortNameSource source, std::int64_t now_ns) {
  if (source == ShortNameSource::Vfat) return false;
  const auto exact = [](std::int64_t ns) { return ns != 0 && ns % 1'000'000 != 0; };
  if (!exact(state.modified_ns) || !exact(state.changed_ns)) return false;
  return now_ns - std::max(state.modified_ns, state.changed_ns) > kClockStepNs;
}

std::int64_t NowNs() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return Nanoseconds(now);
}

}  // namespace

std::optional<std::string> ShortPathResolver::ShortPath(std::string_view path) {
  if (path.empty()) return std::nullopt;
  // A file of the folder walked last: on a disk that answers for one name at
  // a time, one question to it; elsewhere, where that folder has not changed
  // since, one look at the folder instead of one at every folder on the way.
  // A folder's own path is always walked whole, so every listing, which
  // starts with its folder, sees the folders on the way as they are.
  const std::size_t last_slash = path.rfind('/');
  if (last_slash != std::string_view::npos && last_slash + 1 < path.size() &&
      last_walk_.prefix == path.substr(0, last_slash + 1)) {
    const std::string name(path.substr(last_slash + 1));
    std::optional<std::string> short_name;
    bool answered = false;
    if (last_walk_.source == ShortNameSource::Ntfs3g && name != "." && name != "..") {
      short_name = NtfsShortNameOf(last_walk_.folder, name);
      answered = true;
    } else if (const std::optional<FolderState> state = read_state_(last_walk_.folder);
               state && *state == last_walk_.state) {
      short_name = ShortNameIn(last_walk_.folder, *state, name);
      answered = true;
    }
    if (answered) {
      if (!short_name) return std::nullopt;
      return last_walk_.short_prefix + *short_name;
    }
  }

  ++walks_;
  std::string result;
  std::string folder = path.front() == '/' ? "/" : "./";
  std::optional<FolderState> state = read_state_(folder);
  std::size_t position = 0;
  Walk walk;
  while (position < path.size()) {
    if (!state) return std::nullopt;
    if (path[position] == '/') {
      result += '/';
      ++position;
      continue;
    }
    walk = {std::string(path.substr(0, position)), folder, result, *state,
            TableFor(folder, *state).source};
    const std::size_t end = std::min(path.find('/', position), path.size());
    const std::string name(path.substr(position, end - position));
    std::optional<std::string> short_name = ShortNameIn(folder, *state, name);
    if (!short_name) return std::nullopt;
    result += *short_name;
    folder += name;
    folder += '/';
    position = end;
    // Where more follows, this must be a folder.
    if (position < path.size()) state = read_state_(folder);
  }
  if (path.back() == '/') {
    // A final "/" asks for a folder, as it does of the file system.
    if (!state) return std::nullopt;
    walk = {std::string(path), folder, result, *state, TableFor(folder, *state).source};
  }
  last_walk_ = std::move(walk);
  return result;
}

std::optional<std::string> ShortPathResolver::ShortNameIn(const std::string& folder,
                                                          const FolderState& state,
                                                          const std::string& name) {
  if (name == "." || name == "..") return name;
  FolderTable& table = TableFor(folder, state);
  if (const std::optional<std::string_view> found = table.short_names.Find(name)) {
    return std::string(*found);
  }
  if (table.listed) return std::nullopt;
  // Asked anew each time: one question costs what a look at the folder
  // would, and the answer is never stale.
  if (table.source == ShortNameSource::Ntfs3g) return NtfsShortNameOf(folder, name);
  // A folder that may be passed through but not read: only the names asked
  // for are known, so each gets what the FAT rules make of it alone, as long
  // as it is there.
  struct stat entry {};
  if (::lstat((folder + name).c_str(), &entry) != 0) return std::nullopt;
  return fat::MakeShortNames({name}).front();
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
  table = FolderTable{state, source_of_(folder), false, false, walks_, {}};
  table.state_tells_changes = StateTellsChanges(state, table.source, NowNs());
  switch (table.source) {
    case ShortNameSource::Ntfs3g:
      // Asked one name at a time: a folder on the way to another is asked
      // for one name, not read whole.
      return table;
    case ShortNameSource::Vfat:
      if (std::optional<std::vector<VfatNames>> names = read_vfat_folder_(folder)) {
        table.short_names = ShortNamesByName(std::move(*names));
        table.listed = true;
        return table;
      }
      // The driver would not answer: the names are made as on any other disk.
      table.source = ShortNameSource::FatRules;
      break;
    case ShortNameSource::FatRules:
    case ShortNameSource::FatRulesOverNtfs3:
      break;
  }
  std::size_t entries = 0;
  if (std::optional<std::vector<std::string>> names = ReadEntryNames(folder)) {
    const std::vector<std::string> short_names = fat::MakeShortNames(*names);
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < names->size(); ++i)
      bytes += (*names)[i].size() + short_names[i].size();
    table.short_names.Reserve(names->size(), bytes);
    for (std::size_t i = 0; i < names->size(); ++i) {
      if (!short_names[i].empty()) table.short_names.Set((*names)[i], short_names[i]);
    }
    table.listed = true;
    entries = names->size();
  }
  // Making the names of a big folder took many small pieces of memory, all
  // given back by now: the system gets them back too, rather than the
  // process holding them for the rest of its life.
  if (entries >= kBigFolder) ::malloc_trim(0);
  return table;
}

}  // namespace tarnwick::on_linux
