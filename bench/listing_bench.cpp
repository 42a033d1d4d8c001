// Times a whole refresh of real folders of 100, 1,000 and 10,000 empty files
// with the names people keep (camera names, long Japanese names, names that
// share long starts, names that already are 8.3), phase by phase, and the
// listing's sort against the plain exchange sort of three string arrays (up to
// 20,000 files; beyond, that sort alone takes minutes).
// `--make FOLDER N` only makes a folder of N such files.
// `--fat-rules` times the FAT rules alone on 20,000 names whose tails run
// into the thousands, the worst a folder gives them.
// `--in FOLDER` makes the folders there instead of under /tmp; on a Windows
// disk mounted through ntfs-3g each file is given the short name that
// Windows would have stored (by the FAT rules), and the listing must show it.
// `--sort-path NAME` makes the refresh sort on that path (avx512, avx2,
// sse4.2, sse2 or scalar) rather than the widest this processor runs.
// `--against-ls PROGRAM` runs PROGRAM (tarnwick-list) and `ls -f` on each
// folder in turn, 21 pairs after a run of each, their output thrown away, and
// prints instead: files=N list_ms=… ls_ms=… list_over_ls=… (the medians of
// the times and of the pairs' ratios).
// Prints one line per folder:
// files=N total_ms=… timed_total_ms=… enum_ms=… readdir_ms=… short_ms=… keys_ms=…
//   sort_ms=… sort_ns_per_cmp=… sort_path=… add_ms=… ref_sort_ns_per_cmp=… peak_kib=…
//   [disk_lookup_ms=… on NTFS]
// total_ms is a refresh with nothing of the benchmark's around it; the
// phases come from another, each service call timed, whose whole is
// timed_total_ms.
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_names.h"
#include "fat/fat_short_names.h"
#include "listing/exchange_sort.h"
#include "listing/listing_refresh.h"
#include "listing/listing_texts.h"
#include "listing/path_names.h"
#include "platform/linux/ntfs_names.h"
#include "support/reference_exchange_sort.h"
#include "text/lossless_utf8.h"

namespace {

using Clock = std::chrono::steady_clock;
using tarnwick::Text;
using tarnwick::TextView;

double Milliseconds(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

// Calls `call`, adding the time it took to `total`.
template <typename Call>
auto Timed(Clock::duration& total, Call call) {
  const auto start = Clock::now();
  auto result = call();
  total += Clock::now() - start;
  return result;
}

// The system, with the time spent in each kind of service added up and the
// arrays of the refresh kept in their first order.
class TimedSystem final : public tarnwick::SystemServices {
 public:
  explicit TimedSystem(tarnwick::SystemServices& real) : real_(real) {}

  // Mutable: the text services are const in the interface.
  mutable Clock::duration enumeration{}, short_paths{}, keys{};
  mutable Clock::time_point last_key_done{};
  mutable std::vector<Text> long_names, short_names, sort_keys;

  Text FirstEntry(const Text& pattern, std::int32_t attributes) override {
    ++passes_;
    return Record(Timed(enumeration, [&] { return real_.FirstEntry(pattern, attributes); }));
  }
  Text NextEntry() override {
    return Record(Timed(enumeration, [&] { return real_.NextEntry(); }));
  }
  void EndEnumeration() noexcept override { real_.EndEnumeration(); }
  std::uint32_t GetShortPathNameA(const std::string& path, std::span<char> buffer) override {
    const auto count = Timed(short_paths, [&] { return real_.GetShortPathNameA(path, buffer); });
    const std::string_view written(buffer.data(), buffer.size());
    const Text short_path = tarnwick::DecodeFileName(written.substr(0, written.find('\0')));
    if (path.back() != '/') short_names.push_back(tarnwick::GetFileName(short_path, u'/'));
    return count;
  }
  std::uint32_t GetShortPathNameW(const Text& path, std::span<char16_t> buffer) override {
    return Timed(short_paths, [&] { return real_.GetShortPathNameW(path, buffer); });
  }
  std::optional<std::string> ToSystemCodePage(TextView text) const override {
    return Timed(short_paths, [&] { return real_.ToSystemCodePage(text); });
  }
  Text FromSystemCodePage(std::string_view bytes) const override {
    return Timed(short_paths, [&] { return real_.FromSystemCodePage(bytes); });
  }
  bool ToSystemCodePageInto(TextView text, std::string& bytes) const override {
    return Timed(short_paths, [&] { return real_.ToSystemCodePageInto(text, bytes); });
  }
  void FromSystemCodePageInto(std::string_view bytes, Text& text) const override {
    Timed(short_paths, [&] {
      real_.FromSystemCodePageInto(bytes, text);
      return 0;
    });
  }
  char16_t Separator() const override { return real_.Separator(); }
  tarnwick::TextView LineBreak() const override { return real_.LineBreak(); }
  std::vector<Text> Subfolders(const Text& folder) override { return real_.Subfolders(folder); }
  std::vector<tarnwick::Drive> Drives() override { return real_.Drives(); }
  Text CurrentFolder() override { return real_.CurrentFolder(); }
  Text HomeFolder() override { return real_.HomeFolder(); }
  tarnwick::PathKind KindOfPath(const Text& path) override { return real_.KindOfPath(path); }
  tarnwick::ShortNameOrigin ShortNameOriginOf(const Text& folder, tarnwick::TextView long_name,
                                              tarnwick::TextView short_name) override {
    return real_.ShortNameOriginOf(folder, long_name, short_name);
  }
  Text ToLowerCase(Text text) const override {
    Text key = Timed(keys, [&] { return real_.ToLowerCase(std::move(text)); });
    last_key_done = Clock::now();
    sort_keys.push_back(key);
    return key;
  }

 private:
  Text Record(Text name) {
    if (passes_ == 2 && !name.empty()) long_names.push_back(name);
    return name;
  }

  tarnwick::SystemServices& real_;
  int passes_ = 0;
};

class RecordingControls final : public tarnwick::ListingControls {
 public:
  explicit RecordingControls(Text path) : path_(std::move(path)) {}
  Clock::time_point redraw_off{}, redraw_on{};
  std::vector<Text> lines;

  Text Dir1Path() const override { return path_; }
  bool Option1Item0Value() const override { return true; }
  void SetLabel1Caption(const Text&) override {}
  void List1Clear() override { lines.clear(); }
  void ListingFolder(const Text&, const Text&) override {}
  void List1AddItem(const Text& line, tarnwick::TextView, tarnwick::TextView) override {
    lines.push_back(line);
  }
  void SetList1Redraw(bool redraw) override { (redraw ? redraw_on : redraw_off) = Clock::now(); }

 private:
  Text path_;
};

constexpr int kMostFilesForReference = 20'000;

long PeakKib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Two bare passes of readdir over `folder`, as the enumeration makes two:
// the floor under enum_ms.
double TwoReaddirPassesMs(const std::filesystem::path& folder) {
  const auto start = Clock::now();
  for (int pass = 0; pass < 2; ++pass) {
    DIR* stream = ::opendir(folder.c_str());
    if (stream == nullptr) {
      std::perror("cannot read the benchmark's folder");
      std::exit(1);
    }
    while (::readdir(stream) != nullptr) {
    }
    ::closedir(stream);
  }
  return Milliseconds(Clock::now() - start);
}

// Makes the folder's files; gives back the short name each should show.
std::vector<std::string> MakeFolder(const std::filesystem::path& folder, int files) {
  std::filesystem::create_directories(folder);
  std::vector<std::string> names;
  for (int i = 0; i < files; ++i) {
    names.push_back(tarnwick::bench::NameFor(i));
    const int fd = ::open((folder / names.back()).c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    if (fd < 0) {
      std::perror("cannot make a file for the benchmark");
      std::exit(1);
    }
    ::close(fd);
  }
  std::vector<std::string> short_names = tarnwick::fat::MakeShortNames(names);
  if (!tarnwick::on_linux::IsNtfs3gFolder(folder.string() + "/")) return short_names;
  // A Windows disk keeps a short name only for a name that is not one itself.
  for (int i = 0; i < files; ++i) {
    if (short_names[i] == names[i]) continue;
    const std::string path = (folder / names[i]).string();
    if (::lsetxattr(path.c_str(), "system.ntfs_dos_name", short_names[i].data(),
                    short_names[i].size(), 0) != 0) {
      std::perror("cannot store a short name on the NTFS disk");
      std::exit(1);
    }
  }
  return short_names;
}

int Measure(const std::filesystem::path& root, int files) {
  const std::filesystem::path folder = root / ("files" + std::to_string(files));
  const std::vector<std::string> made_short_names = MakeFolder(folder, files);
  const Text path = tarnwick::DecodeFileName(folder.string());
  const bool on_ntfs = tarnwick::on_linux::IsNtfs3gFolder(folder.string() + "/");

  // The best of three cold refreshes, each with services of its own (so no
  // short names are known beforehand).
  struct Figures {
    double total = 1e300, enumeration = 0, short_paths = 0, keys = 0, sort = 0, add = 0;
  } best;
  // Timed beside each refresh, so that both see the machine alike.
  double readdir_best = 1e300;
  // The same refresh with nothing of the benchmark's around the services:
  // timing every call and keeping copies of the arrays costs some tens of
  // milliseconds at 100,000 files, which are no part of a refresh.
  double plain_best = 1e300;
  std::vector<Text> lines, long_names, short_names, keys;
  for (int run = 0; run < 3; ++run) {
    readdir_best = std::min(readdir_best, TwoReaddirPassesMs(folder));
    {
      auto plain = tarnwick::CreateSystemServices();
      RecordingControls controls(path);
      const auto start = Clock::now();
      tarnwick::ListFileName(controls, *plain);
      plain_best = std::min(plain_best, Milliseconds(Clock::now() - start));
    }
    auto real = tarnwick::CreateSystemServices();
    TimedSystem system(*real);
    RecordingControls controls(path);
    const auto start = Clock::now();
    tarnwick::ListFileName(controls, system);
    const double total = Milliseconds(Clock::now() - start);
    if (total < best.total) {
      best = {total,
              Milliseconds(system.enumeration),
              Milliseconds(system.short_paths),
              Milliseconds(system.keys),
              Milliseconds(controls.redraw_off - system.last_key_done),
              Milliseconds(controls.redraw_on - controls.redraw_off)};
    }
    lines = controls.lines;
    long_names = system.long_names;
    short_names = system.short_names;
    keys = system.sort_keys;
  }

  const auto comparisons = static_cast<double>(files) * (files - 1);
  // The reference takes minutes beyond some tens of thousands of files.
  const bool with_reference = files <= kMostFilesForReference;
  double reference_ms = 0;
  if (with_reference) {
    const auto start = Clock::now();
    tarnwick::testing::ReferenceExchangeSort(short_names, long_names, keys);
    reference_ms = Milliseconds(Clock::now() - start);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (lines[i] != long_names[i] + tarnwick::kNameSeparator + short_names[i]) {
        std::fprintf(stderr, "the refresh and the reference sort disagree at line %zu\n", i);
        return 1;
      }
    }
  }
  std::vector<Text> expected_short_names;
  for (const std::string& name : made_short_names) {
    expected_short_names.push_back(tarnwick::DecodeFileName(name));
  }
  std::vector<Text> got_short_names = short_names;
  std::sort(expected_short_names.begin(), expected_short_names.end());
  std::sort(got_short_names.begin(), got_short_names.end());
  if (got_short_names != expected_short_names) {
    std::fprintf(stderr, "the listing's short names are not the ones expected\n");
    return 1;
  }
  if (lines.size() != static_cast<std::size_t>(files)) {
    std::fprintf(stderr, "%zu lines for %d files\n", lines.size(), files);
    return 1;
  }
  std::printf(
      "files=%d total_ms=%.2f timed_total_ms=%.2f enum_ms=%.2f readdir_ms=%.2f short_ms=%.2f "
      "keys_ms=%.2f sort_ms=%.2f sort_ns_per_cmp=%.3f sort_path=%s add_ms=%.2f",
      files, plain_best, best.total, best.enumeration, readdir_best, best.short_paths, best.keys,
      best.sort, files > 1 ? best.sort * 1e6 / comparisons : 0.0,
      std::string(tarnwick::SortPathName(tarnwick::ActiveSortPath())).c_str(), best.add);
  if (with_reference) {
    std::printf(" ref_sort_ns_per_cmp=%.3f", files > 1 ? reference_ms * 1e6 / comparisons : 0.0);
  } else {
    std::printf(" ref_sort_ns_per_cmp=skipped");
  }
  std::printf(" peak_kib=%ld", PeakKib());
  if (on_ntfs) {
    // What the disk itself takes to answer for each file's short name once,
    // with nothing of ours around it: the floor under short_ms.
    double disk_best = 1e300;
    for (int run = 0; run < 3; ++run) {
      const auto disk_start = Clock::now();
      for (const Text& name : long_names) {
        char value[256];
        const std::string file = (folder / *tarnwick::EncodeFileName(name)).string();
        ::lgetxattr(file.c_str(), "system.ntfs_dos_name", value, sizeof value);
      }
      disk_best = std::min(disk_best, Milliseconds(Clock::now() - disk_start));
    }
    std::printf(" disk_lookup_ms=%.2f", disk_best);
  }
  std::printf("\n");
  std::fflush(stdout);
  return 0;
}

// The wall time of one run of `arguments`, its output thrown away.
double RunMs(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  const auto start = Clock::now();
  pid_t child = 0;
  const int error = ::posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  if (error != 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s did not run to success\n", argv[0]);
    std::exit(1);
  }
  return Milliseconds(Clock::now() - start);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// `program` and `ls -f` on one folder, in turn.
int MeasureAgainstLs(const std::filesystem::path& root, int files, const std::string& program) {
  constexpr int kPairs = 21;
  const std::filesystem::path folder = root / ("files" + std::to_string(files));
  MakeFolder(folder, files);
  const std::vector<std::string> list = {program, folder.string()};
  const std::vector<std::string> ls = {"ls", "-f", folder.string()};
  RunMs(list);
  RunMs(ls);
  std::vector<double> list_ms, ls_ms, ratios;
  for (int pair = 0; pair < kPairs; ++pair) {
    list_ms.push_back(RunMs(list));
    ls_ms.push_back(RunMs(ls));
    ratios.push_back(list_ms.back() / ls_ms.back());
  }
  std::printf("files=%d list_ms=%.2f ls_ms=%.2f list_over_ls=%.2f\n", files, Median(list_ms),
              Median(ls_ms), Median(ratios));
  std::fflush(stdout);
  return 0;
}

// 20,000 names of one basis, then 20,000 whose 1,296 bases ("ABCDEF00" ...)
// all shorten to "AB~": each name's tail is found in a search that does not
// start over at ~1. Prints
// fat_rules names=20000 one_basis_ms=… shared_start_ms=…
int MeasureFatRules() {
  constexpr int kNames = 20000;
  const std::string alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::vector<std::string> one_basis;
  std::vector<std::string> shared_start;
  for (int i = 0; i < kNames; ++i) {
    one_basis.push_back("Long File Name " + std::to_string(100000 + i) + ".txt");
    shared_start.push_back("abcdef" + std::string{alphabet[i / 36 % 36], alphabet[i % 36]} +
                           std::to_string(100000 + i) + ".txt");
  }
  const auto time = [](const std::vector<std::string>& names) {
    const auto start = Clock::now();
    const std::vector<std::string> short_names = tarnwick::fat::MakeShortNames(names);
    const double took = Milliseconds(Clock::now() - start);
    return short_names.size() == names.size() ? took : -1.0;
  };
  const double one_basis_ms = time(one_basis);
  const double shared_start_ms = time(shared_start);
  std::printf("fat_rules names=%d one_basis_ms=%.2f shared_start_ms=%.2f\n", kNames, one_basis_ms,
              shared_start_ms);
  return one_basis_ms < 0 || shared_start_ms < 0 ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string_view(argv[1]) == "--fat-rules") return MeasureFatRules();
  // `--make FOLDER N`: only makes the folder, for a run of the programs
  // themselves (scripts/bench --memory).
  if (argc == 4 && std::string_view(argv[1]) == "--make") {
    MakeFolder(argv[2], std::atoi(argv[3]));
    return 0;
  }
  std::vector<int> sizes;
  std::string parent = "/tmp";
  std::string against_ls;
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--in" && i + 1 < argc) {
      parent = argv[++i];
    } else if (std::string_view(argv[i]) == "--against-ls" && i + 1 < argc) {
      against_ls = argv[++i];
    } else if (std::string_view(argv[i]) == "--sort-path" && i + 1 < argc) {
      try {
        tarnwick::UseSortPath(tarnwick::SortPathNamed(argv[++i]));
      } catch (const std::invalid_argument& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
      }
    } else {
      sizes.push_back(std::atoi(argv[i]));
    }
  }
  if (sizes.empty()) sizes = {100, 1000, 10000};
  std::string root_template = parent + "/tarnwick-bench-XXXXXX";
  const char* root = ::mkdtemp(root_template.data());
  if (root == nullptr) {
    std::perror("cannot make a folder for the benchmark");
    return 1;
  }
  int status = 0;
  for (const int files : sizes) {
    status |= against_ls.empty() ? Measure(root, files) : MeasureAgainstLs(root, files, against_ls);
  }
  std::filesystem::remove_all(root);
  return status;
}
