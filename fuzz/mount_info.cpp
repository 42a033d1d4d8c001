// The drive list from the text of /proc/self/mountinfo, with its escapes.
// Every drive must be a mount point that the folder list can go to (an
// absolute path), listed once, shown as itself with the label of
// what is mounted there when one is known.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "platform/linux/mounts.h"
#include "text/lossless_utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view mountinfo(reinterpret_cast<const char*>(data), size);
  // Every source has a label: the source itself, backwards.
  const tarnwick::on_linux::LabelOf label_of =
      [](const std::string& source) -> std::optional<std::string> {
    return std::string(source.rbegin(), source.rend());
  };
  const std::vector<tarnwick::Drive> drives =
      tarnwick::on_linux::DrivesFromMountInfo(mountinfo, label_of);
  std::set<tarnwick::Text> roots;
  for (const tarnwick::Drive& drive : drives) {
    FUZZ_CHECK(!drive.root.empty() && drive.root.front() == u'/');
    FUZZ_CHECK(roots.insert(drive.root).second);
    FUZZ_CHECK(drive.text.starts_with(drive.root));
    const tarnwick::TextView rest = tarnwick::TextView(drive.text).substr(drive.root.size());
    FUZZ_CHECK(rest.empty() || (rest.starts_with(u" [") && rest.ends_with(u"]")));
  }
  return 0;
}
