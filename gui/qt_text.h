// SPDX-License-Identifier: MIT
#pragma once
// The window's side of the text rule: the system holds CP932 bytes, Qt holds
// QString; the platform's converters are the only bridge.
#include <QString>
#include <string>
#include <string_view>

#include "platform/cp932.h"

inline QString QStringFromCp932(std::string_view cp932) {
  return QString::fromStdString(platform::Cp932ToUtf8(cp932));
}

// Characters CP932 cannot hold become "?", as in an ANSI control.
inline std::string Cp932FromQString(const QString& text) {
  return platform::Utf8ToCp932(text.toStdString());
}
