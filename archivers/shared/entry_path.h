// SPDX-License-Identifier: MIT
#pragma once
// Turning an archive entry name into a place inside the destination folder.
//
// Rules (nothing may land outside the destination):
//  - "/" and "\" both separate folders ("\" only as a whole CP932
//    character, so 0x95 0x5C "表" stays one character);
//  - a leading drive ("C:") and leading separators are dropped: absolute
//    names are made relative to the destination;
//  - empty and "." parts are dropped;
//  - a ".." part makes the entry unsafe: it is refused, never rewritten.
//
// File-system names are UTF-8. A CP932 name is converted character by
// character; a byte that is no CP932 character (or an invalid UTF-8 byte
// in a UTF-8 name) is written as "%XX" (upper-case hex, always 80-FF), and
// so that this stays lossless a "%" that is followed by such a pair, or by
// "25", is itself written as "%25". Reading back: "%25" is "%", "%XX" with
// XX from 80 is that byte, any other "%" is itself. Distinct names never
// end up as one file, and every byte can be recovered.
//
// UTF-8 names are written composed (NFC): macOS stores them decomposed. A
// part longer than a file name may be (255 bytes) is cut at a character
// boundary and given "~" and eight hex digits of a hash of the whole part,
// before its extension: it stays unique in its folder and keeps its type.
#include <string>
#include <vector>

namespace arc {

struct EntryPath {
  std::vector<std::string> dirs;  // file-system names of the folders, outermost first
  std::string leaf;               // file-system name of the entry itself; empty for the root
  bool unsafe = false;            // refused: a ".." part
};

EntryPath MakeEntryPath(const std::string& name, bool isUtf8);

// One name part as a lossless file-system (UTF-8) name, see above.
std::string FsComponent(const std::string& part, bool isUtf8);

// The name as CP932 text with "/" between folders (for listings and
// progress reports; lossy only for UTF-8 characters CP932 lacks).
std::string DisplayName(const std::string& name, bool isUtf8);
// The name as UTF-8 text with "/" between folders, exact for every character.
std::string Utf8DisplayName(const std::string& name, bool isUtf8);
// The name as the caller gets it: DisplayName, or in Unicode mode (see
// unicode_mode.h) Utf8DisplayName.
std::string ReportedName(const std::string& name, bool isUtf8);

// A symbolic link's target made safe for a link at `linkPath`: relative,
// and never climbing above the destination. Empty when it is unsafe.
std::string SafeLinkTarget(const std::string& target, bool isUtf8, const EntryPath& linkPath);

}  // namespace arc
