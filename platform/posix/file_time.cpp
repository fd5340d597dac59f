// SPDX-License-Identifier: MIT
#include "platform/file_time.h"

#include <fcntl.h>
#include <langinfo.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/paths.h"

namespace platform {

bool GetFileLastWriteTime(std::string_view path, std::int64_t& utcSeconds) {
  return GetFileLastWriteTime(FsPath{FsName(path)}, utcSeconds);
}

bool GetFileLastWriteTime(const FsPath& path, std::int64_t& utcSeconds) {
  // Non-blocking, so that a FIFO in place of a chart cannot stall the open.
  int fd = open(path.utf8.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return false;
  struct stat st;
  bool ok = fstat(fd, &st) == 0;
  close(fd);
  if (!ok) return false;
  utcSeconds = static_cast<std::int64_t>(st.st_mtim.tv_sec);
  return true;
}

void FixLocalTimeZone() {
  // ":" names a zone file; with TZ set and unchanged, tzset returns at once.
  if (!std::getenv("TZ")) setenv("TZ", ":/etc/localtime", 0);
  tzset();
}

bool UtcToLocalNow(std::int64_t utcSeconds, std::int64_t& localSeconds) {
  std::time_t now = std::time(nullptr);
  struct tm local;
  if (!localtime_r(&now, &local)) return false;
  return !__builtin_add_overflow(utcSeconds, static_cast<std::int64_t>(local.tm_gmtoff), &localSeconds);
}

bool LocalToUtcNow(std::int64_t localSeconds, std::int64_t& utcSeconds) {
  std::time_t now = std::time(nullptr);
  struct tm local;
  if (!localtime_r(&now, &local)) return false;
  return !__builtin_sub_overflow(localSeconds, static_cast<std::int64_t>(local.tm_gmtoff), &utcSeconds);
}

char LocaleDateSeparator() {
  // Read without touching the process locale: the window toolkit owns it.
  locale_t loc = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
  if (loc == static_cast<locale_t>(0)) return '/';
  std::string fmt = nl_langinfo_l(D_FMT, loc);
  freelocale(loc);
  return DateSeparatorFromFormat(fmt);
}

}  // namespace platform
