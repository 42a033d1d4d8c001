// Paths that Win32's path rules cannot carry as they are: MAX_PATH characters
// or more, or a name that ends in a dot or a space (which the rules drop). The
// system takes them in their long form, "\\?\C:\…" or "\\?\UNC\server\share\…",
// which it uses as given; the user never sees that form.
#pragma once

#include <string>

#include "text/text.h"

namespace tarnwick::win32 {

// Whether `path` must reach the system in its long form.
bool NeedsLongForm(TextView path);

// The long form of a full path: "\\?\" before a drive's path, "\\?\UNC\" in
// place of the "\\" of a share's; "/" becomes "\". A path of any other kind
// (relative, or already in a long form) comes back as it is.
Text LongForm(TextView path);

// `path` as the user sees it: a long form's prefix taken off again.
Text ShownForm(TextView path);

// What to hand the system for `path`: its long form where it needs one.
std::wstring ForSystem(TextView path);

}  // namespace tarnwick::win32
