#include "platform/system_services.h"

#include "text/lossless_utf8.h"

namespace tarnwick {

std::string_view OriginWord(ShortNameOrigin origin) {
  switch (origin) {
    case ShortNameOrigin::Disk:
      return "disk";
    case ShortNameOrigin::ValidName:
      return "8.3";
    case ShortNameOrigin::Rules:
    case ShortNameOrigin::RulesGuess:
      return "rules";
    case ShortNameOrigin::None:
      break;
  }
  return "none";
}

ShortNameOrigin OriginWhereTheDiskKeepsNames(TextView long_name, TextView short_name,
                                             bool long_name_is_valid) {
  if (!short_name.empty() && short_name != long_name) return ShortNameOrigin::Disk;
  return !short_name.empty() && long_name_is_valid ? ShortNameOrigin::ValidName
                                                   : ShortNameOrigin::None;
}

bool SystemServices::ToSystemCodePageInto(TextView text, std::string& bytes) const {
  std::optional<std::string> converted = ToSystemCodePage(text);
  if (!converted) return false;
  bytes = std::move(*converted);
  return true;
}

void SystemServices::FromSystemCodePageInto(std::string_view bytes, Text& text) const {
  text = FromSystemCodePage(bytes);
}

Text DescriptionOf(const std::exception& error) { return DecodeFileName(error.what()); }

}  // namespace tarnwick
