// SPDX-License-Identifier: MIT
#include "platform/win32/posix_fs.h"

#include "platform/win32/windows_api.h"

#include <cstdarg>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "platform/win32/wide.h"

namespace bmsposix {

using platform::win32::ErrnoFromWin32;
using platform::win32::FsToWide;
using platform::win32::WideToUtf8;

namespace {

int Fail(int err) {
  errno = err;
  return -1;
}
int FailWin32() { return Fail(ErrnoFromWin32(GetLastError())); }

// Folder descriptors: Windows has no descriptor for a folder that the CRT
// could hand out, so O_DIRECTORY opens give numbers from this table, each
// standing for the folder's full path.
constexpr int kFirstDirFd = 0x40000000;
std::mutex g_dirMutex;
std::map<int, std::string> g_dirs;
int g_nextDir = kFirstDirFd;

bool IsDirFd(int fd) { return fd >= kFirstDirFd; }

bool DirPath(int fd, std::string& path) {
  std::lock_guard<std::mutex> lock(g_dirMutex);
  auto it = g_dirs.find(fd);
  if (it == g_dirs.end()) return false;
  path = it->second;
  return true;
}

int NewDirFd(std::string path) {
  std::lock_guard<std::mutex> lock(g_dirMutex);
  int fd = g_nextDir++;
  g_dirs[fd] = std::move(path);
  return fd;
}

// The path of `name` relative to the folder descriptor; false for a bad fd.
bool AtPath(int dirFd, const char* name, std::string& out) {
  if (dirFd == AT_FDCWD || (name[0] && (name[0] == '/' || name[0] == '\\' || (name[0] && name[1] == ':')))) {
    out = name;
    return true;
  }
  std::string dir;
  if (!DirPath(dirFd, dir)) return false;
  out = dir + "\\" + name;
  return true;
}

std::time_t ToTimeT(const FILETIME& ft) {
  ULARGE_INTEGER u;
  u.LowPart = ft.dwLowDateTime;
  u.HighPart = ft.dwHighDateTime;
  return static_cast<std::time_t>((static_cast<long long>(u.QuadPart) - 116444736000000000LL) / 10000000LL);
}

FILETIME ToFileTime(std::time_t t) {
  ULARGE_INTEGER u;
  u.QuadPart = static_cast<unsigned long long>(static_cast<long long>(t) * 10000000LL + 116444736000000000LL);
  FILETIME ft;
  ft.dwLowDateTime = u.LowPart;
  ft.dwHighDateTime = u.HighPart;
  return ft;
}

void FillFromInfo(const BY_HANDLE_FILE_INFORMATION& info, DWORD fileType, bool linkItself, struct stat* st) {
  *st = {};
  unsigned type;
  if (fileType == FILE_TYPE_CHAR) {
    type = _S_IFCHR;
  } else if (fileType == FILE_TYPE_PIPE) {
    type = _S_IFIFO;
  } else if (linkItself && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    type = S_IFLNK;
  } else if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    type = _S_IFDIR;
  } else {
    type = _S_IFREG;
  }
  st->st_mode = type | ((info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666);
  st->st_size = (static_cast<std::int64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  st->st_mtime = ToTimeT(info.ftLastWriteTime);
  st->st_mtim.tv_sec = st->st_mtime;
  st->st_ino = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  st->st_dev = info.dwVolumeSerialNumber;
}

int StatHandle(HANDLE h, bool linkItself, struct stat* st) {
  DWORD type = GetFileType(h);
  BY_HANDLE_FILE_INFORMATION info{};
  if (type == FILE_TYPE_DISK) {
    if (!GetFileInformationByHandle(h, &info)) return FailWin32();
  }
  FillFromInfo(info, type, linkItself, st);
  return 0;
}

int StatPath(const std::string& path, bool linkItself, struct stat* st) {
  DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (linkItself ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
  HANDLE h = CreateFileW(FsToWide(path).c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, flags, nullptr);
  if (h == INVALID_HANDLE_VALUE) return FailWin32();
  int r = StatHandle(h, linkItself, st);
  CloseHandle(h);
  return r;
}

int OpenFolder(const std::string& path, int flags) {
  DWORD attr = GetFileAttributesW(FsToWide(path).c_str());
  if (attr == INVALID_FILE_ATTRIBUTES) return FailWin32();
  if (!(attr & FILE_ATTRIBUTE_DIRECTORY)) return Fail(ENOTDIR);
  if ((flags & O_NOFOLLOW) && (attr & FILE_ATTRIBUTE_REPARSE_POINT)) return Fail(ELOOP);
  wchar_t full[32768];
  DWORD n = GetFullPathNameW(FsToWide(path).c_str(), 32768, full, nullptr);
  if (n == 0 || n >= 32768) return FailWin32();
  return NewDirFd(WideToUtf8(std::wstring_view(full, n)));
}

HANDLE OsHandle(int fd) { return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

int SetTimes(HANDLE h, const struct ::timespec times[2]) {
  FILETIME access = ToFileTime(times[0].tv_sec), write = ToFileTime(times[1].tv_sec);
  return SetFileTime(h, nullptr, times[0].tv_nsec == UTIME_OMIT ? nullptr : &access,
                     times[1].tv_nsec == UTIME_OMIT ? nullptr : &write)
             ? 0
             : FailWin32();
}

}  // namespace

int open(const char* path, int flags, int mode) {
  if (flags & O_DIRECTORY) return OpenFolder(path, flags);
  std::wstring w = FsToWide(path);
  if (flags & O_NOFOLLOW) {
    DWORD attr = GetFileAttributesW(w.c_str());
    if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_REPARSE_POINT)) return Fail(ELOOP);
  }
  int crtFlags = (flags & ~(O_DIRECTORY | O_NOFOLLOW)) | _O_BINARY | _O_NOINHERIT;
  int pmode = (mode & 0222) ? (_S_IREAD | _S_IWRITE) : _S_IREAD;
  return _wopen(w.c_str(), crtFlags, pmode);
}

int openat(int dirFd, const char* name, int flags, int mode) {
  std::string path;
  if (!AtPath(dirFd, name, path)) return Fail(EBADF);
  return open(path.c_str(), flags, mode);
}

int close(int fd) {
  if (IsDirFd(fd)) {
    std::lock_guard<std::mutex> lock(g_dirMutex);
    return g_dirs.erase(fd) ? 0 : Fail(EBADF);
  }
  return _close(fd);
}

namespace {
// At most 1 GiB a call; the caller reads or writes the rest as for any
// short count.
unsigned Chunk(std::size_t size) { return static_cast<unsigned>(size > 0x40000000 ? 0x40000000 : size); }

// A file's handle for ReadFile and WriteFile at `offset` (`at`); -1 with
// errno set when the descriptor is a folder's or none.
int PositionedHandle(int fd, std::int64_t offset, HANDLE& h, OVERLAPPED& at) {
  if (IsDirFd(fd)) return Fail(EISDIR);
  h = OsHandle(fd);
  if (h == INVALID_HANDLE_VALUE) return Fail(EBADF);
  at = OVERLAPPED{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
  return 0;
}
}  // namespace

int read(int fd, void* buf, std::size_t size) {
  if (IsDirFd(fd)) return Fail(EISDIR);
  return _read(fd, buf, Chunk(size));
}

int write(int fd, const void* buf, std::size_t size) {
  if (IsDirFd(fd)) return Fail(EISDIR);
  return _write(fd, buf, Chunk(size));
}

int pread(int fd, void* buf, std::size_t size, std::int64_t offset) {
  HANDLE h;
  OVERLAPPED ov;
  if (PositionedHandle(fd, offset, h, ov) != 0) return -1;
  DWORD got = 0;
  if (!ReadFile(h, buf, Chunk(size), &got, &ov)) {
    if (GetLastError() == ERROR_HANDLE_EOF) return 0;
    return FailWin32();
  }
  return static_cast<int>(got);
}

int pwrite(int fd, const void* buf, std::size_t size, std::int64_t offset) {
  HANDLE h;
  OVERLAPPED ov;
  if (PositionedHandle(fd, offset, h, ov) != 0) return -1;
  DWORD put = 0;
  if (!WriteFile(h, buf, Chunk(size), &put, &ov)) return FailWin32();
  return static_cast<int>(put);
}

std::int64_t lseek(int fd, std::int64_t offset, int whence) {
  if (IsDirFd(fd)) return Fail(EISDIR);
  return _lseeki64(fd, offset, whence);
}

int ftruncate(int fd, std::int64_t length) {
  if (IsDirFd(fd)) return Fail(EISDIR);
  errno_t err = _chsize_s(fd, length);
  if (err != 0) {
    errno = err;
    return -1;
  }
  return 0;
}

int mkostemp(char* templ, int flags) {
  std::size_t n = std::strlen(templ);
  if (n < 6 || std::strcmp(templ + n - 6, "XXXXXX") != 0) return Fail(EINVAL);
  static const char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  unsigned seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
  for (int attempt = 0; attempt < 1000; ++attempt) {
    for (std::size_t i = n - 6; i < n; ++i) {
      seed = seed * 1103515245u + 12345u;
      templ[i] = kChars[(seed >> 16) % 36];
    }
    int fd = open(templ, O_RDWR | O_CREAT | O_EXCL | flags, 0600);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return Fail(EEXIST);
}

int fstat(int fd, struct stat* st) {
  if (IsDirFd(fd)) {
    std::string path;
    if (!DirPath(fd, path)) return Fail(EBADF);
    return StatPath(path, false, st);
  }
  HANDLE h = OsHandle(fd);
  if (h == INVALID_HANDLE_VALUE) return Fail(EBADF);
  return StatHandle(h, false, st);
}

int stat(const char* path, struct stat* st) { return StatPath(path, false, st); }
int lstat(const char* path, struct stat* st) { return StatPath(path, true, st); }

int fstatat(int dirFd, const char* name, struct stat* st, int flags) {
  std::string path;
  if (!AtPath(dirFd, name, path)) return Fail(EBADF);
  return StatPath(path, (flags & AT_SYMLINK_NOFOLLOW) != 0, st);
}

int mkdir(const char* path, unsigned) { return CreateDirectoryW(FsToWide(path).c_str(), nullptr) ? 0 : FailWin32(); }

int mkdirat(int dirFd, const char* name, unsigned mode) {
  std::string path;
  if (!AtPath(dirFd, name, path)) return Fail(EBADF);
  return mkdir(path.c_str(), mode);
}

int unlink(const char* path) { return DeleteFileW(FsToWide(path).c_str()) ? 0 : FailWin32(); }

int unlinkat(int dirFd, const char* name, int) {
  std::string path;
  if (!AtPath(dirFd, name, path)) return Fail(EBADF);
  return unlink(path.c_str());
}

int rename(const char* from, const char* to) {
  return MoveFileExW(FsToWide(from).c_str(), FsToWide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)
             ? 0
             : FailWin32();
}

int access(const char* path, int mode) {
  DWORD attr = GetFileAttributesW(FsToWide(path).c_str());
  if (attr == INVALID_FILE_ATTRIBUTES) return FailWin32();
  // The read-only attribute means nothing on a folder (Explorer uses it
  // for customised folders), so folders count as writable here.
  if ((mode & W_OK) && (attr & FILE_ATTRIBUTE_READONLY) && !(attr & FILE_ATTRIBUTE_DIRECTORY)) return Fail(EACCES);
  return 0;
}

int chdir(const char* path) { return SetCurrentDirectoryW(FsToWide(path).c_str()) ? 0 : FailWin32(); }

char* getcwd(char* buf, std::size_t size) {
  wchar_t w[32768];
  DWORD n = GetCurrentDirectoryW(32768, w);
  if (n == 0 || n >= 32768) {
    FailWin32();
    return nullptr;
  }
  std::string u = WideToUtf8(std::wstring_view(w, n));
  if (u.size() + 1 > size) {
    errno = ERANGE;
    return nullptr;
  }
  std::memcpy(buf, u.c_str(), u.size() + 1);
  return buf;
}

char* realpath(const char* path, char* resolved) {
  wchar_t full[32768];
  DWORD n = GetFullPathNameW(FsToWide(path).c_str(), 32768, full, nullptr);
  if (n == 0 || n >= 32768) {
    FailWin32();
    return nullptr;
  }
  std::string u = WideToUtf8(std::wstring_view(full, n));
  for (auto& c : u)
    if (c == '\\') c = '/';
  char* out = resolved ? resolved : static_cast<char*>(std::malloc(u.size() + 1));
  if (!out) return nullptr;
  std::memcpy(out, u.c_str(), u.size() + 1);
  return out;
}

int fchmod(int, unsigned) { return 0; }
int fchown(int, unsigned, unsigned) { return 0; }
unsigned geteuid() { return 0; }
unsigned getegid() { return 0; }

int fsync(int fd) {
  if (IsDirFd(fd)) return 0;
  HANDLE h = OsHandle(fd);
  if (h == INVALID_HANDLE_VALUE) return Fail(EBADF);
  return FlushFileBuffers(h) ? 0 : FailWin32();
}

int fcntl(int fd, int cmd, int) {
  if (cmd == F_DUPFD_CLOEXEC) {
    if (IsDirFd(fd)) {
      std::string path;
      if (!DirPath(fd, path)) return Fail(EBADF);
      return NewDirFd(path);
    }
    return _dup(fd);
  }
  if (cmd == F_GETFL || cmd == F_SETFL) return 0;
  return Fail(EINVAL);
}

int futimens(int fd, const struct ::timespec times[2]) {
  if (IsDirFd(fd)) return 0;
  HANDLE h = OsHandle(fd);
  if (h == INVALID_HANDLE_VALUE) return Fail(EBADF);
  return SetTimes(h, times);
}

int utimensat(int dirFd, const char* name, const struct ::timespec times[2], int flags) {
  std::string path;
  if (!AtPath(dirFd, name, path)) return Fail(EBADF);
  DWORD f = FILE_FLAG_BACKUP_SEMANTICS | ((flags & AT_SYMLINK_NOFOLLOW) ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
  HANDLE h = CreateFileW(FsToWide(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, f, nullptr);
  if (h == INVALID_HANDLE_VALUE) return FailWin32();
  int r = SetTimes(h, times);
  CloseHandle(h);
  return r;
}

int symlinkat(const char*, int, const char*) { return Fail(EPERM); }

int linkat(int fromDirFd, const char* from, int toDirFd, const char* to, int) {
  std::string a, b;
  if (!AtPath(fromDirFd, from, a) || !AtPath(toDirFd, to, b)) return Fail(EBADF);
  return CreateHardLinkW(FsToWide(b).c_str(), FsToWide(a).c_str(), nullptr) ? 0 : FailWin32();
}

int getpid() { return static_cast<int>(GetCurrentProcessId()); }

std::FILE* fopen(const char* path, const char* mode) {
  std::wstring wmode = platform::win32::Utf8ToWide(mode);
  return _wfopen(FsToWide(path).c_str(), wmode.c_str());
}

struct DIR {
  HANDLE find = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAW data{};
  bool first = true;
  dirent entry{};
};

DIR* opendir(const char* path) {
  std::wstring pattern = FsToWide(path);
  if (!pattern.empty() && pattern.back() != L'\\') pattern += L'\\';
  pattern += L'*';
  auto* d = new DIR;
  d->find = FindFirstFileW(pattern.c_str(), &d->data);
  if (d->find == INVALID_HANDLE_VALUE) {
    DWORD err = GetLastError();
    delete d;
    if (err == ERROR_FILE_NOT_FOUND) {
      // An empty folder without even "." (a drive root): nothing to list.
      d = new DIR;
      return d;
    }
    Fail(ErrnoFromWin32(err));
    return nullptr;
  }
  return d;
}

dirent* readdir(DIR* d) {
  if (d->find == INVALID_HANDLE_VALUE) return nullptr;
  if (!d->first && !FindNextFileW(d->find, &d->data)) return nullptr;
  d->first = false;
  std::string name = WideToUtf8(d->data.cFileName);
  std::size_t n = name.size() < sizeof d->entry.d_name - 1 ? name.size() : sizeof d->entry.d_name - 1;
  std::memcpy(d->entry.d_name, name.data(), n);
  d->entry.d_name[n] = '\0';
  return &d->entry;
}

int closedir(DIR* d) {
  if (!d) return Fail(EBADF);
  if (d->find != INVALID_HANDLE_VALUE) FindClose(d->find);
  delete d;
  return 0;
}

}  // namespace bmsposix
