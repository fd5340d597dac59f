// SPDX-License-Identifier: MIT
#pragma once
// EInOutError: a file error with its I/O error number (the Windows error code
// of the condition) and the text the application's error box shows for it.
#include <string>
#include <string_view>

#include "platform/error.h"

namespace platform {

// I/O error numbers the texts are keyed on.
inline constexpr int kIoFileNotFound = 2;
inline constexpr int kIoPathNotFound = 3;
inline constexpr int kIoTooManyOpenFiles = 4;
inline constexpr int kIoAccessDenied = 5;
inline constexpr int kIoDiskFull = 101;

class EInOutError : public Error {
 public:
  using Error::Error;
  ~EInOutError() override;
};

// The one table from Linux errno values to the I/O error numbers.
int IoCodeFromErrno(int err);
// "ファイルが見つかりません" ... "I/O エラー (%d)", CP932.
std::string IoErrorText(int code);
// Throws EInOutError for errno `err`.
[[noreturn]] void ThrowIoError(int err);

// The same for a failed operation on the file `path` (CP932): ENOENT means
// "path not found" when the folder that should hold the file is missing,
// "file not found" otherwise.
int IoCodeForPath(int err, std::string_view path);
[[noreturn]] void ThrowIoErrorForPath(int err, std::string_view path);

}  // namespace platform
