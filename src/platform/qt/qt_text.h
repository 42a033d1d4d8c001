// Text to and from Qt's strings; both are UTF-16.
#pragma once

#include <QString>

#include "text/text.h"

namespace tarnwick::qt {

inline QString ToQString(TextView text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

inline Text FromQString(const QString& text) {
  return Text(reinterpret_cast<const char16_t*>(text.utf16()),
              static_cast<std::size_t>(text.size()));
}

}  // namespace tarnwick::qt
