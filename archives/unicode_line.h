// SPDX-License-Identifier: MIT
#pragma once
// A command line (or response file) that carries a path CP932 cannot hold,
// in the marked form of platform/path_text.h, goes to the library as UTF-8
// with the library in Unicode mode for that call. The builders quote every
// path and refuse quotes and line breaks inside one, so a marked path runs
// from its mark to the next quote or line break.
#include <string>
#include <string_view>

// Whether the text holds a marked path.
bool NeedsUnicode(std::string_view text);
// The text as UTF-8: CP932 stretches converted, marked paths without mark.
std::string Utf8CommandText(std::string_view text);
