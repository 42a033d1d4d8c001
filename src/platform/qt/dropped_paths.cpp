#include "platform/qt/dropped_paths.h"

#include <string_view>

#include "text/lossless_utf8.h"

namespace tarnwick::qt {

std::optional<Text> LocalPathOf(const QUrl& url) {
  if (!url.isValid() || !url.isLocalFile()) return std::nullopt;
  const QString host = url.host();
  if (!host.isEmpty() && host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0) {
    return std::nullopt;
  }
  // A byte that is no UTF-8 comes percent-escaped and is kept, where
  // toLocalFile() would make it U+FFFD and name another file.
  const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toUtf8());
  if (bytes.contains('\0')) return std::nullopt;
  return DecodeFileName(
      std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

std::vector<Text> DroppedPaths(const QMimeData& dropped) {
  std::vector<Text> paths;
  for (const QUrl& url : dropped.urls()) {
    if (std::optional<Text> path = LocalPathOf(url)) paths.push_back(std::move(*path));
  }
  if (paths.empty() && dropped.hasUrls()) paths.emplace_back();
  return paths;
}

}  // namespace tarnwick::qt
