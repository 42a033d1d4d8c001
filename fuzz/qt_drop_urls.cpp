// The URLs of a drop, as a file manager or any other program may send them:
// the fuzzer's bytes as one URL, and as a drop's text/uri-list. A path is
// taken only from a file URL of this machine (no host, or localhost), never
// with a NUL in it, and a path taken, written again as a file URL, reads
// back as itself; every other URL is refused, and a drop of nothing but
// such URLs gives the one empty path that is reported.
#include <QByteArray>
#include <QMimeData>
#include <QUrl>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz_check.h"
#include "platform/qt/dropped_paths.h"
#include "text/lossless_utf8.h"

namespace {

using tarnwick::Text;
using tarnwick::qt::LocalPathOf;

bool IsOfThisMachine(const QUrl& url) {
  return url.isValid() && url.scheme() == QLatin1String("file") &&
         (url.host().isEmpty() ||
          url.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0);
}

void CheckUrl(const QUrl& url) {
  const std::optional<Text> path = LocalPathOf(url);
  const QByteArray decoded = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toUtf8());
  FUZZ_CHECK(path.has_value() == (IsOfThisMachine(url) && !decoded.contains('\0')));
  if (!path) return;
  FUZZ_CHECK(path->find(u'\0') == Text::npos);
  const std::optional<std::string> bytes = tarnwick::EncodeFileName(*path);
  FUZZ_CHECK(bytes && *bytes == decoded.toStdString());
  if (bytes->starts_with('/')) {
    const QByteArray again = "file://" + QByteArray::fromStdString(*bytes).toPercentEncoding("/");
    FUZZ_CHECK(LocalPathOf(QUrl::fromEncoded(again)) == path);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  CheckUrl(QUrl::fromEncoded(bytes));
  CheckUrl(QUrl(QString::fromUtf8(bytes)));

  QMimeData dropped;
  dropped.setData(QStringLiteral("text/uri-list"), bytes);
  std::size_t local = 0;
  for (const QUrl& url : dropped.urls()) local += LocalPathOf(url).has_value();
  const std::vector<Text> paths = tarnwick::qt::DroppedPaths(dropped);
  if (local > 0) {
    FUZZ_CHECK(paths.size() == local);
  } else {
    FUZZ_CHECK(paths.size() == (dropped.hasUrls() ? 1u : 0u));
    FUZZ_CHECK(paths.empty() || paths.front().empty());
  }
  return 0;
}
