#include "platform/win32/long_paths.h"

#include <windows.h>

#include <algorithm>

namespace tarnwick::win32 {
namespace {

constexpr TextView kLongPrefix = u"\\\\?\\";
constexpr TextView kLongSharePrefix = u"\\\\?\\UNC\\";

bool IsSeparator(char16_t unit) { return unit == u'\\' || unit == u'/'; }

bool IsDrivePath(TextView path) {
  return path.size() >= 3 &&
         ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z')) &&
         path[1] == u':' && IsSeparator(path[2]);
}

// "\\server\…", but not "\\?\…" nor "\\.\…".
bool IsSharePath(TextView path) {
  return path.size() > 2 && IsSeparator(path[0]) && IsSeparator(path[1]) && path[2] != u'?' &&
         path[2] != u'.';
}

// "." and ".." are taken back by the path rules, which the long form skips:
// a path that holds one keeps its short form.
bool HoldsDotComponent(TextView path) {
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = start;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    const TextView component = path.substr(start, end - start);
    if (component == u"." || component == u"..") return true;
    start = end + 1;
  }
  return false;
}

// A component the path rules would change: one that ends in a dot or a space.
bool HoldsChangedName(TextView path) {
  for (std::size_t i = 0; i < path.size(); ++i) {
    const bool ends_component = i + 1 == path.size() || IsSeparator(path[i + 1]);
    if (ends_component && (path[i] == u'.' || path[i] == u' ')) return true;
  }
  return false;
}

}  // namespace

bool NeedsLongForm(TextView path) {
  if (!IsDrivePath(path) && !IsSharePath(path)) return false;
  if (HoldsDotComponent(path)) return false;
  return path.size() >= MAX_PATH || HoldsChangedName(path);
}

Text LongForm(TextView path) {
  Text long_form;
  if (IsDrivePath(path)) {
    long_form = Text(kLongPrefix) + Text(path);
  } else if (IsSharePath(path)) {
    long_form = Text(kLongSharePrefix) + Text(path.substr(2));
  } else {
    return Text(path);
  }
  std::replace(long_form.begin(), long_form.end(), u'/', u'\\');
  return long_form;
}

Text ShownForm(TextView path) {
  if (path.starts_with(kLongSharePrefix))
    return u"\\\\" + Text(path.substr(kLongSharePrefix.size()));
  if (path.starts_with(kLongPrefix) && IsDrivePath(path.substr(kLongPrefix.size()))) {
    return Text(path.substr(kLongPrefix.size()));
  }
  return Text(path);
}

std::wstring ForSystem(TextView path) {
  const Text form = NeedsLongForm(path) ? LongForm(path) : Text(path);
  return std::wstring(form.begin(), form.end());
}

}  // namespace tarnwick::win32
