// The path-name procedures of the listing: the short form of a path through
// the system's short-path service, and the last component of a path.
#pragma once

#include "platform/system_services.h"

namespace tarnwick {

// The short form of `LongFN` (a full path of a file or folder) as the
// short-path service gives it, or the empty text when it gives none.
Text GetShortFileName(SystemServices& system, const Text& LongFN);

// Room for the conversions of GetShortFileName, kept from call to call by a
// caller that makes many of them.
struct ShortPathWork {
  std::string path_bytes;
  Text returned;
};

// The same, as a view into `work`, good until the next call with it.
TextView GetShortFileName(SystemServices& system, const Text& LongFN, ShortPathWork& work);

// Everything after the last `separator` of `ShortFN`; the empty text when
// there is no separator or nothing follows it.
Text GetFileName(Text ShortFN, char16_t separator);

// The same, as a view into `ShortFN`.
TextView GetFileNameView(TextView ShortFN, char16_t separator);

}  // namespace tarnwick
