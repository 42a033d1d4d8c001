// The name of a link in /dev/disk/by-label, any bytes, read as the label it
// stands for: an escape \xNN is one byte, anything else stands for itself, so
// the label is never longer than the name; and a label escaped as udev
// escapes it reads back as itself.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "platform/linux/mounts.h"

namespace {

// Every byte but ASCII letters and digits as \xNN, in either case of hex digit.
std::string Escaped(std::string_view label) {
  std::string name;
  for (std::size_t i = 0; i < label.size(); ++i) {
    const auto byte = static_cast<unsigned char>(label[i]);
    if ((byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') ||
        (byte >= 'a' && byte <= 'z')) {
      name.push_back(label[i]);
      continue;
    }
    char escape[5];
    std::snprintf(escape, sizeof escape, i % 2 == 0 ? "\\x%02x" : "\\x%02X", byte);
    name += escape;
  }
  return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view name(reinterpret_cast<const char*>(data), size);
  const std::string label = tarnwick::on_linux::UnescapeLabel(name);
  FUZZ_CHECK(label.size() <= name.size());
  if (name.find("\\x") == std::string_view::npos) FUZZ_CHECK(label == name);
  FUZZ_CHECK(tarnwick::on_linux::UnescapeLabel(Escaped(name)) == name);
  return 0;
}
