// SPDX-License-Identifier: MIT
// File times and the user's date separator on Windows.
#include "platform/file_time.h"

#include <ctime>

#include "platform/paths.h"
#include "platform/win32/wide.h"
#include "platform/win32/windows_api.h"

namespace platform {

bool GetFileLastWriteTime(std::string_view path, std::int64_t& utcSeconds) {
  return GetFileLastWriteTime(FsPath{FsName(path)}, utcSeconds);
}

bool GetFileLastWriteTime(const FsPath& path, std::int64_t& utcSeconds) {
  HANDLE h = CreateFileW(win32::FsToWide(path.utf8).c_str(), FILE_READ_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  FILETIME write{};
  bool ok = GetFileTime(h, nullptr, nullptr, &write) != 0;
  CloseHandle(h);
  if (!ok) return false;
  ULARGE_INTEGER u;
  u.LowPart = write.dwLowDateTime;
  u.HighPart = write.dwHighDateTime;
  utcSeconds = (static_cast<std::int64_t>(u.QuadPart) - 116444736000000000LL) / 10000000LL;
  return true;
}

namespace {
// Minutes to add to local time for UTC, in force now (as the file-time
// conversions FileTimeToLocalFileTime / LocalFileTimeToFileTime apply it).
long BiasNow() {
  TIME_ZONE_INFORMATION tz;
  DWORD mode = GetTimeZoneInformation(&tz);
  long bias = tz.Bias;
  if (mode == TIME_ZONE_ID_DAYLIGHT) bias += tz.DaylightBias;
  else if (mode == TIME_ZONE_ID_STANDARD) bias += tz.StandardBias;
  return bias;
}
}  // namespace

// The system's zone is no file to re-read there.
void FixLocalTimeZone() {}

bool UtcToLocalNow(std::int64_t utcSeconds, std::int64_t& localSeconds) {
  return !__builtin_sub_overflow(utcSeconds, static_cast<std::int64_t>(BiasNow()) * 60, &localSeconds);
}

bool LocalToUtcNow(std::int64_t localSeconds, std::int64_t& utcSeconds) {
  return !__builtin_add_overflow(localSeconds, static_cast<std::int64_t>(BiasNow()) * 60, &utcSeconds);
}

char LocaleDateSeparator() {
  wchar_t buf[8] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDATE, buf, 8) <= 0) return '/';
  wchar_t c = buf[0];
  if (c > 0x20 && c < 0x7F && !iswalnum(c)) return static_cast<char>(c);
  return '/';
}

}  // namespace platform
