#include "platform/system_services.h"

#include "text/lossless_utf8.h"

namespace tarnwick {

Text DescriptionOf(const std::exception& error) { return DecodeFileName(error.what()); }

}  // namespace tarnwick
