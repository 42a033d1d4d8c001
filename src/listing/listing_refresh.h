// The listing refresh: rebuilds what the window shows about the current
// folder, the label with the folder's short path and one line per ordinary
// file pairing its long and short names, sorted by the chosen name.
#pragma once

#include "platform/system_services.h"
#include "listing/listing_controls.h"

namespace tarnwick {

// The enumeration pattern, which matches every name.
inline constexpr char16_t kEveryName[] = u"*.*";

// Reads the folder and the sort choice from `controls`, then sets the label
// and fills the list. Throws PlatformError when the folder cannot be read;
// the label is set and the list emptied by then.
void ListFileName(ListingControls& controls, SystemServices& system);

}  // namespace tarnwick
