// What ntfs-3g answers for an entry's extended attributes: its Windows
// attributes (4 bytes, big-endian) and its short name, any bytes of any
// length, or an error. The attributes are taken only as 4 bytes; a short name
// only where it may be one, and a plain 8.3 name always; otherwise the entry
// goes by its own name, and a missing entry by none.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "kept_short_name_check.h"
#include "platform/linux/ntfs_names.h"

namespace {

// One attribute's answer: its value, or the error of a read that fails.
struct Answer {
  std::string value;
  int error = 0;

  // As the system reads it into `buffer`.
  ssize_t Into(std::span<char> buffer) const {
    if (error == 0 && value.size() <= buffer.size()) {
      std::copy(value.begin(), value.end(), buffer.begin());
      return static_cast<ssize_t>(value.size());
    }
    errno = error != 0 ? error : ERANGE;
    return -1;
  }
};

Answer TakeAnswer(FuzzedDataProvider& input, bool last) {
  const int errors[] = {0, 0, 0, ENODATA, ERANGE, ENOENT, ENOTDIR, EIO, ENOTSUP};
  Answer answer;
  answer.error = input.PickValueInArray(errors);
  answer.value = last ? input.ConsumeRemainingBytesAsString() : input.ConsumeRandomLengthString(8);
  return answer;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const Answer attributes = TakeAnswer(input, false);
  const Answer short_name = TakeAnswer(input, true);
  const std::string folder = "/disk/";
  const std::string name = "Long File Name.txt";
  const tarnwick::on_linux::AttributeRead read = [&](const std::string& path, const char* attribute,
                                                     std::span<char> buffer) -> ssize_t {
    FUZZ_CHECK(path == folder + name);
    const std::string_view asked(attribute);
    FUZZ_CHECK(asked == "system.ntfs_attrib_be" || asked == "system.ntfs_dos_name");
    return (asked == "system.ntfs_dos_name" ? short_name : attributes).Into(buffer);
  };

  const std::optional<std::uint32_t> windows =
      tarnwick::on_linux::WindowsAttributesOf(folder + name, read);
  const bool four_bytes = attributes.error == 0 && attributes.value.size() == 4;
  FUZZ_CHECK(windows.has_value() == four_bytes);
  if (four_bytes) {
    std::uint32_t expected = 0;
    for (const char byte : attributes.value) expected = expected << 8 | std::uint8_t(byte);
    FUZZ_CHECK(*windows == expected);
  }

  const std::optional<std::string> taken = tarnwick::on_linux::NtfsShortNameOf(folder, name, read);
  const bool missing = short_name.error == ENOENT || short_name.error == ENOTDIR;
  FUZZ_CHECK(taken.has_value() == !missing);
  if (missing) return 0;
  const bool stored = short_name.error == 0 && *taken == short_name.value;
  FUZZ_CHECK(*taken == name || (stored && fuzz::MayBeKeptShortName(*taken)));
  if (short_name.error == 0 && fuzz::IsPlainShortName(short_name.value)) FUZZ_CHECK(stored);
  return 0;
}
