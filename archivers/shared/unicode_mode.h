// SPDX-License-Identifier: MIT
#pragma once
// The library's Unicode mode, per calling thread: while it is on, every text
// a call of that thread takes (command line, file names and masks, response
// files) and gives (output text, INDIVIDUALINFO and EXTRACTINGINFO names) is
// UTF-8 instead of code page 932. Per thread, because a drop unpacks on two
// threads at once and each driver switches the mode around its own calls.
//
// Inside, the engine keeps CP932 text; a path CP932 cannot hold is carried in
// the marked UTF-8 form (platform/path_text.h), which FsName opens as it is.
#include <string>
#include <string_view>

namespace arc {

bool UnicodeMode();
void SetUnicodeMode(bool on);

// A text the caller gave, in the engine's form: unchanged outside Unicode
// mode, else CP932 where CP932 holds it, or the marked UTF-8 path.
std::string FromCaller(std::string_view text);
// An engine text (CP932 or a marked path) for the caller: unchanged outside
// Unicode mode, else UTF-8.
std::string ForCaller(std::string_view text);

}  // namespace arc
