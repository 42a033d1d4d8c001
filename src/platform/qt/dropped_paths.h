// What a drop on the window names: the files and folders of this machine
// among the URLs dropped.
#pragma once

#include <QMimeData>
#include <QUrl>
#include <optional>
#include <vector>

#include "text/text.h"

namespace tarnwick::qt {

// The path of a file or folder on this machine that `url` names, as the
// bytes of its name read; nullopt for any other URL: one of another scheme,
// a file URL of another host (whose path alone would name a local file
// instead), or one whose path holds a NUL (which would cut the path opened
// short of the path shown).
std::optional<Text> LocalPathOf(const QUrl& url);

// The local paths among the URLs dropped, in their order. A drop of URLs none
// of which is a local file gives one empty path, which Form1 reports.
std::vector<Text> DroppedPaths(const QMimeData& dropped);

}  // namespace tarnwick::qt
