// SPDX-License-Identifier: MIT
#include "platform/win32/wide.h"

#include "platform/win32/windows_api.h"

#include "platform/cp932.h"
#include "platform/path_text.h"

namespace platform::win32 {

namespace {
constexpr UINT kCp932 = 932;

// One whole UTF-8 sequence's length from its first byte (1 for a stray byte).
std::size_t Utf8Length(unsigned char c) { return c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1; }

// Converts with MB_ERR_INVALID_CHARS; false when the input has a bad sequence.
bool StrictToWide(UINT cp, std::string_view in, std::wstring& out) {
  out.clear();
  if (in.empty()) return true;
  int n = MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, in.data(), static_cast<int>(in.size()), nullptr, 0);
  if (n <= 0) return false;
  out.resize(static_cast<std::size_t>(n));
  MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, in.data(), static_cast<int>(in.size()), out.data(), n);
  return true;
}

// Character by character, so that one bad sequence costs one U+FFFD and
// the rest still converts.
std::wstring ToWide(UINT cp, std::string_view in, bool* exact) {
  std::wstring out;
  if (StrictToWide(cp, in, out)) return out;
  if (exact) *exact = false;
  out.clear();
  std::size_t i = 0;
  while (i < in.size()) {
    std::size_t next = cp == CP_UTF8 ? i + Utf8Length(static_cast<unsigned char>(in[i])) : NextCharPos(in, i);
    if (next > in.size()) next = in.size();
    std::wstring part;
    if (StrictToWide(cp, in.substr(i, next - i), part)) {
      out += part;
    } else {
      out += L'\xFFFD';
    }
    i = next;
  }
  return out;
}
}  // namespace

std::wstring Utf8ToWide(std::string_view utf8) { return ToWide(CP_UTF8, utf8, nullptr); }

std::string WideToUtf8(std::wstring_view wide) {
  if (wide.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring FsToWide(std::string_view fsPath) {
  std::wstring w = Utf8ToWide(fsPath);
  for (auto& c : w)
    if (c == L'/') c = L'\\';
  return w;
}

std::wstring Cp932ToWide(std::string_view cp932, bool* exact) { return ToWide(kCp932, cp932, exact); }

std::string WideToCp932(std::wstring_view wide, bool* exact) {
  std::string out;
  std::size_t i = 0;
  while (i < wide.size()) {
    // A surrogate pair is one character: convert (or replace) it whole.
    std::size_t len = (wide[i] >= 0xD800 && wide[i] <= 0xDBFF && i + 1 < wide.size()) ? 2 : 1;
    char buf[8];
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, wide.data() + i, static_cast<int>(len), buf, sizeof buf,
                                "?", &usedDefault);
    if (n <= 0 || usedDefault) {
      out += '?';
      if (exact) *exact = false;
    } else {
      out.append(buf, static_cast<std::size_t>(n));
    }
    i += len;
  }
  return out;
}

int ErrnoFromWin32(unsigned long error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME: return ENOENT;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
    case ERROR_DIRECTORY: return ENOTDIR;
    case ERROR_TOO_MANY_OPEN_FILES: return EMFILE;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_CURRENT_DIRECTORY: return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_DIR_NOT_EMPTY: return ENOTEMPTY;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return ENOMEM;
    case ERROR_CANT_RESOLVE_FILENAME: return ELOOP;
    case ERROR_PRIVILEGE_NOT_HELD: return EPERM;
    default: return EIO;
  }
}

std::wstring PathToWide(std::string_view path) {
  return IsUtf8Path(path) ? Utf8ToWide(path.substr(1)) : Cp932ToWide(path);
}

}  // namespace platform::win32
