// SPDX-License-Identifier: MIT
#pragma once
// The POSIX file calls the platform layer and the archiver engine make,
// carried out with the wide-character Win32 API. Every path is UTF-8 (what
// platform::FsName gives) and is converted to UTF-16 explicitly, so names
// of any language work whatever the system's ANSI code page is; the CRT's
// narrow calls would read them in that code page instead.
//
// This header is included ahead of every source of the platform layer and
// the engine on Windows (-include). It does not rename anything: the calls
// are brought into the namespaces `platform` and `arc` by using-declarations,
// where they hide the CRT's narrow functions of the same names.
#ifndef _POSIX_THREAD_SAFE_FUNCTIONS
#define _POSIX_THREAD_SAFE_FUNCTIONS 200112L  // localtime_r
#endif
#include <dirent.h>
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <ctime>

// Flags the CRT does not know. O_DIRECTORY opens a folder descriptor for
// the ...at calls; O_NOFOLLOW refuses reparse points (links, junctions).
#define O_CLOEXEC 0
#define O_NOCTTY 0
#define O_NONBLOCK 0
#define O_DIRECTORY 0x01000000
#define O_NOFOLLOW 0x02000000
#define AT_FDCWD (-100)
#define AT_SYMLINK_NOFOLLOW 0x100
#define F_GETFL 3
#define F_SETFL 4
#define F_DUPFD_CLOEXEC 1030
#define UTIME_OMIT ((1L << 30) - 2L)
#ifndef EDQUOT
#define EDQUOT 122
#endif
#ifndef S_IFLNK
#define S_IFLNK 0xA000
#endif
#ifndef S_ISLNK
#define S_ISLNK(m) (((m) & 0xF000) == S_IFLNK)
#endif

namespace bmsposix {

struct timespec_t {
  std::time_t tv_sec = 0;
  long tv_nsec = 0;
};

struct stat {
  unsigned st_mode = 0;  // S_IFREG / S_IFDIR / S_IFLNK / S_IFCHR, 0444 or 0666 (read-only attribute)
  std::int64_t st_size = 0;
  std::time_t st_mtime = 0;
  timespec_t st_mtim;
  std::uint64_t st_ino = 0;  // file index
  std::uint32_t st_dev = 0;  // volume serial number
  unsigned st_uid = 0, st_gid = 0;
};

int open(const char* path, int flags, int mode = 0);
int openat(int dirFd, const char* name, int flags, int mode = 0);
int close(int fd);
int read(int fd, void* buf, std::size_t size);
int write(int fd, const void* buf, std::size_t size);
int pread(int fd, void* buf, std::size_t size, std::int64_t offset);
int pwrite(int fd, const void* buf, std::size_t size, std::int64_t offset);
// 64-bit offsets: the CRT's lseek and ftruncate take 32 bits on 32-bit
// Windows, which cannot reach past 2 GiB.
std::int64_t lseek(int fd, std::int64_t offset, int whence);
int ftruncate(int fd, std::int64_t length);
// Replaces the trailing "XXXXXX" and creates the file exclusively.
int mkostemp(char* templ, int flags);
int fstat(int fd, struct stat* st);
int stat(const char* path, struct stat* st);
int lstat(const char* path, struct stat* st);
int fstatat(int dirFd, const char* name, struct stat* st, int flags);
int mkdir(const char* path, unsigned mode);
int mkdirat(int dirFd, const char* name, unsigned mode);
int unlink(const char* path);
int unlinkat(int dirFd, const char* name, int flags);
// MoveFileEx with replacing, as POSIX rename replaces its target.
int rename(const char* from, const char* to);
int access(const char* path, int mode);
int chdir(const char* path);
char* getcwd(char* buf, std::size_t size);
// The full path, with "/" between its parts (Windows takes either).
char* realpath(const char* path, char* resolved);
// Windows has no permission bits beyond the read-only attribute, and the
// callers refuse read-only targets before: nothing to carry over.
int fchmod(int fd, unsigned mode);
int fchown(int fd, unsigned uid, unsigned gid);
unsigned geteuid();
unsigned getegid();
int fsync(int fd);
int fcntl(int fd, int cmd, int arg = 0);
int futimens(int fd, const struct ::timespec times[2]);
int utimensat(int dirFd, const char* name, const struct ::timespec times[2], int flags);
// Symbolic links need a privilege ordinary users lack: refused (EPERM).
int symlinkat(const char* target, int dirFd, const char* name);
int linkat(int fromDirFd, const char* from, int toDirFd, const char* to, int flags);
int getpid();
std::FILE* fopen(const char* path, const char* mode);

struct dirent {
  char d_name[260 * 3 + 1];  // MAX_PATH UTF-16 units as UTF-8
};
struct DIR;
DIR* opendir(const char* path);
dirent* readdir(DIR* dir);
int closedir(DIR* dir);

}  // namespace bmsposix

#define BMSPOSIX_USING                                                                                         \
  using bmsposix::open, bmsposix::openat, bmsposix::close, bmsposix::read, bmsposix::write, bmsposix::pread, bmsposix::pwrite, bmsposix::lseek, bmsposix::ftruncate, bmsposix::mkostemp,    \
      bmsposix::fstat, bmsposix::stat, bmsposix::lstat, bmsposix::fstatat, bmsposix::mkdir, bmsposix::mkdirat,  \
      bmsposix::unlink, bmsposix::unlinkat, bmsposix::rename, bmsposix::access, bmsposix::chdir,                 \
      bmsposix::getcwd, bmsposix::realpath, bmsposix::fchmod, bmsposix::fchown, bmsposix::geteuid,              \
      bmsposix::getegid, bmsposix::fsync, bmsposix::fcntl, bmsposix::futimens, bmsposix::utimensat,             \
      bmsposix::symlinkat, bmsposix::linkat, bmsposix::getpid, bmsposix::fopen, bmsposix::dirent,               \
      bmsposix::DIR, bmsposix::opendir, bmsposix::readdir, bmsposix::closedir;

namespace platform {
BMSPOSIX_USING
}
namespace arc {
BMSPOSIX_USING
}
