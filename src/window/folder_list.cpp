#include "window/folder_list.h"

#include <algorithm>

namespace tarnwick {
namespace {

// The top of `path`: "/" on Linux, "C:\" or "\\server\share\" on Windows.
std::size_t TopLength(const Text& path, char16_t separator) {
  if (!path.empty() && path.front() == separator) {
    // "\\server\share\": the top takes two more components.
    if (path.size() > 1 && path[1] == separator && separator == u'\\') {
      std::size_t end = path.find(separator, 2);
      if (end != Text::npos) end = path.find(separator, end + 1);
      return end == Text::npos ? path.size() : end + 1;
    }
    return 1;
  }
  const std::size_t first = path.find(separator);
  return first == Text::npos ? path.size() : first + 1;
}

std::vector<Text> Components(TextView rest, char16_t separator) {
  std::vector<Text> components;
  std::size_t position = 0;
  while (position <= rest.size()) {
    const std::size_t end = std::min(rest.find(separator, position), rest.size());
    const Text component(rest.substr(position, end - position));
    if (component == u"..") {
      if (!components.empty()) components.pop_back();
    } else if (!component.empty() && component != u".") {
      components.push_back(component);
    }
    position = end + 1;
  }
  return components;
}

}  // namespace

Text CleanFolderPath(const Text& path, char16_t separator) {
  const std::size_t top = TopLength(path, separator);
  Text clean = path.substr(0, top);
  if (!clean.empty() && clean.back() != separator) clean += separator;
  for (const Text& component : Components(TextView(path).substr(top), separator)) {
    if (clean.back() != separator) clean += separator;
    clean += component;
  }
  return clean;
}

Text ParentFolder(const Text& clean_path, char16_t separator) {
  const std::size_t top = TopLength(clean_path, separator);
  if (clean_path.size() <= top) return {};
  const std::size_t last = clean_path.rfind(separator);
  // The separator that ends the top stays with it.
  return clean_path.substr(0, last < top ? top : last);
}

std::vector<FolderListEntry> FolderListFor(const Text& path, SystemServices& system) {
  const char16_t separator = system.Separator();
  const Text clean = CleanFolderPath(path, separator);
  if (clean.empty()) throw PlatformError(ErrorKind::NotFound, path, "no folder given");
  const std::size_t top = TopLength(clean, separator);

  std::vector<Text> subfolders = system.Subfolders(clean);
  std::vector<std::pair<Text, Text>> sorted;  // lower-cased name, name
  sorted.reserve(subfolders.size());
  for (Text& name : subfolders) sorted.emplace_back(system.ToLowerCase(name), std::move(name));
  std::stable_sort(sorted.begin(), sorted.end());

  std::vector<FolderListEntry> entries;
  Text chain = clean.substr(0, top);
  entries.push_back({chain, chain, 0, true});
  int depth = 0;
  for (const Text& component : Components(TextView(clean).substr(top), separator)) {
    if (chain.back() != separator) chain += separator;
    chain += component;
    entries.push_back({component, chain, ++depth, true});
  }
  const Text prefix = chain.back() == separator ? chain : chain + separator;
  for (auto& [key, name] : sorted) entries.push_back({name, prefix + name, depth + 1, false});
  return entries;
}

std::optional<std::size_t> DriveFor(const std::vector<Drive>& drives, const Text& path,
                                    SystemServices& system) {
  const char16_t separator = system.Separator();
  const Text folder = system.ToLowerCase(CleanFolderPath(path, separator));
  std::optional<std::size_t> best;
  std::size_t best_length = 0;
  for (std::size_t i = 0; i < drives.size(); ++i) {
    for (const Text* top : {&drives[i].root, &drives[i].share}) {
      if (top->empty()) continue;
      const Text root = system.ToLowerCase(CleanFolderPath(*top, separator));
      const bool holds =
          folder.starts_with(root) && (folder.size() == root.size() || root.back() == separator ||
                                       folder[root.size()] == separator);
      if (holds && (!best || root.size() > best_length)) {
        best = i;
        best_length = root.size();
      }
    }
  }
  return best;
}

}  // namespace tarnwick
