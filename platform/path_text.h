// SPDX-License-Identifier: MIT
#pragma once
// Paths that code page 932 cannot hold. Inside the system a path is CP932
// bytes; one that CP932 cannot write (Café, 노래, an emoji, a folder named
// Música) travels as its UTF-8 form after the byte 0xFF, which neither CP932
// nor UTF-8 ever uses, so the two forms never meet and every layer that
// passes a path on keeps working on a std::string. FsName takes either form;
// the drivers switch the archiver libraries to UTF-8 for a call that carries
// a marked path; rows keep such names as UTF-8 with their encoding.
#include <string>
#include <string_view>

namespace platform {

inline constexpr char kUtf8PathMark = '\xFF';

// Whether the path is the marked UTF-8 form.
bool IsUtf8Path(std::string_view path);
// The system's form of a file-system (UTF-8) path: CP932 when CP932 holds
// it (twins allowed: the name exists), else the marked UTF-8 form.
std::string PathFromUtf8(std::string_view utf8);
// The path as UTF-8 text, whichever its form (for showing it).
std::string PathUtf8(std::string_view path);
// The text after the mark (the path unchanged when unmarked).
std::string_view WithoutUtf8Mark(std::string_view path);

}  // namespace platform
