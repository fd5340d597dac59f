// SPDX-License-Identifier: MIT
#include "platform/io_error.h"

#include <cerrno>
#include <cstdio>

#include "platform/files.h"
#include "platform/paths.h"

namespace platform {

EInOutError::~EInOutError() = default;

// The I/O error numbers are the Windows error codes of the same conditions.
// Linux reports them with these errno values:
//   ENOENT        2  file not found. A missing folder on the way gives ENOENT
//                    too; callers that know the path tell the two apart with
//                    IoCodeForPath.
//   ENOTDIR,      3  path not found: a part of the path is no folder, or the
//   ENAMETOOLONG     name cannot be a file name here.
//   EMFILE,       4  too many open files (per process or system-wide).
//   ENFILE
//   EACCES,       5  access denied, including a read-only file system and a
//   EPERM, EROFS,    folder where a file was meant (Windows refuses to open
//   EISDIR           a folder as a file with "access denied").
//   ENOSPC,     101  disk full: the data could not all be written.
//   EDQUOT
// Anything else keeps its errno value and shows as "I/O エラー (n)".
int IoCodeFromErrno(int err) {
  switch (err) {
    case ENOENT: return kIoFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG: return kIoPathNotFound;
    case EMFILE:
    case ENFILE: return kIoTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return kIoAccessDenied;
    case ENOSPC:
    case EDQUOT: return kIoDiskFull;
    default: return err;
  }
}

std::string IoErrorText(int code) {
  switch (code) {
    case kIoFileNotFound:  // ファイルが見つかりません
      return "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
    case kIoPathNotFound:  // 不正なファイル名です
      return "\x95\x73\x90\xb3\x82\xc8\x83\x74\x83\x40\x83\x43\x83\x8b\x96\xbc\x82\xc5\x82\xb7";
    case kIoTooManyOpenFiles:  // オープンしたファイルが多すぎます
      return "\x83\x49\x81\x5b\x83\x76\x83\x93\x82\xb5\x82\xbd\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x91\xbd"
             "\x82\xb7\x82\xac\x82\xdc\x82\xb7";
    case kIoAccessDenied:  // ファイルへのアクセスが拒否されました
      return "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xd6\x82\xcc\x83\x41\x83\x4e\x83\x5a\x83\x58\x82\xaa\x8b\x91"
             "\x94\xdb\x82\xb3\x82\xea\x82\xdc\x82\xb5\x82\xbd";
    case kIoDiskFull:  // ディスクがいっぱいです
      return "\x83\x66\x83\x42\x83\x58\x83\x4e\x82\xaa\x82\xa2\x82\xc1\x82\xcf\x82\xa2\x82\xc5\x82\xb7";
    default: {  // I/O エラー (n)
      char num[24];
      std::snprintf(num, sizeof num, "%d", code);
      return std::string("I/O \x83\x47\x83\x89\x81\x5b (") + num + ")";
    }
  }
}

void ThrowIoError(int err) {
  int code = IoCodeFromErrno(err);
  throw EInOutError(code, IoErrorText(code));
}

int IoCodeForPath(int err, std::string_view path) {
  if (err == ENOENT) {
    std::string dir = ExtractFilePath(path);
    if (!dir.empty() && !DirectoryExists(dir)) return kIoPathNotFound;
  }
  return IoCodeFromErrno(err);
}

void ThrowIoErrorForPath(int err, std::string_view path) {
  int code = IoCodeForPath(err, path);
  throw EInOutError(code, IoErrorText(code));
}

}  // namespace platform
