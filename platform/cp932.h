// SPDX-License-Identifier: MIT
#pragma once
// Code page 932 (Shift-JIS as Windows writes it). Inside the system every
// text is a CP932 byte string; this is where it meets UTF-8.
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// IsDBCSLeadByte for code page 932.
bool IsLeadByte(unsigned char c);

// CharNextA: the position after the whole character that starts at pos.
// A lead byte at the very end counts as a one-byte character.
std::size_t NextCharPos(std::string_view s, std::size_t pos);

// CharPrevA: the start of the whole character before pos (0 when pos is 0).
std::size_t PrevCharPos(std::string_view s, std::size_t pos);

// Start of the last whole character of s; npos for an empty string.
std::size_t LastCharPos(std::string_view s);

// Whole-character search: the last position of the single byte c that is
// not the second byte of a double-byte character; npos when none.
std::size_t LastByteCharPos(std::string_view s, char c);

// Lossless where the target can hold the text. Cp932ToUtf8 turns bytes that
// are no CP932 character into U+FFFD; Utf8ToCp932 turns characters CP932
// cannot hold into "?". Use the Try forms where losing a character matters.
//
// Twins: CP932 gives one byte pair to two Unicode characters in a few places
// (U+301C and U+FF5E, U+2212 and U+FF0D, U+2016 and U+2225, U+2014 and
// U+2015, U+00A2/U+00A3/U+00AC and their full-width forms). Such a pair
// always comes back as the second of each. TryUtf8ToCp932 succeeds only when
// the result converts back to exactly the input; the AllowingTwins form also
// accepts the other twin, for text that is shown or matched against names
// that exist (see platform::FsName), never for a name to be created.
std::string Cp932ToUtf8(std::string_view cp932);
std::string Utf8ToCp932(std::string_view utf8);
bool TryCp932ToUtf8(std::string_view cp932, std::string& out);
bool TryUtf8ToCp932(std::string_view utf8, std::string& out);
bool TryUtf8ToCp932AllowingTwins(std::string_view utf8, std::string& out);
// True when the CP932 text holds a byte pair that stands for two characters.
bool HasTwinCharacter(std::string_view cp932);

// ASCII-only case folding: a-z and A-Z change, every other byte (the second
// bytes of double-byte characters included) stays as it is.
// Whether every byte is below 0x80 (the same text in every encoding here).
bool IsAscii(std::string_view s);
std::string AsciiUpper(std::string_view s);
std::string AsciiLower(std::string_view s);
bool SameTextAscii(std::string_view a, std::string_view b);

}  // namespace platform
