// SPDX-License-Identifier: MIT
#include "cli/csv_output.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "cli/cli_system.h"
#include "platform/cp932.h"
#include "platform/files.h"
#include "platform/io_error.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "session/export_target.h"

namespace fs = std::filesystem;

namespace {

void Say(const std::string& given, const std::string& why) {
  const std::string line = "bmslist-cli: " + given + ": " + why + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
}

// The file-system form is UTF-8 on every platform.
fs::path PathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string Folder(const std::string& fsPath) {
  const std::u8string folder = PathOf(fsPath).parent_path().u8string();
  return std::string(folder.begin(), folder.end());
}

// What is wrong with the folder that should hold the CSV; "" when it is a
// folder.
std::string FolderProblem(const std::string& fsPath) {
  const std::string folder = Folder(fsPath);
  std::error_code ec;
  fs::file_status st = fs::status(PathOf(folder), ec);
  if (st.type() == fs::file_type::not_found) return "the folder " + folder + " does not exist";
  if (!ec && st.type() != fs::file_type::directory) return folder + " is not a folder";
  return {};
}

}  // namespace

bool CsvTargetUsable(const std::string& given, const std::string& fsPath, const std::vector<std::string>& archives) {
  if (std::string why = FolderProblem(fsPath); !why.empty()) {
    Say(given, why);
    return false;
  }
  std::error_code ec;
  if (fs::is_directory(PathOf(fsPath), ec)) {
    Say(given, "is a folder");
    return false;
  }
  for (const std::string& archive : archives) {
    if (platform::SameFile(platform::FsPath{fsPath}, platform::FsPath{platform::FsName(archive)})) {
      Say(given, "is one of the archives to list; the CSV would overwrite it");
      return false;
    }
  }
  return true;
}

int WriteCsvFile(const ChartList& list, const std::string& given, const std::string& fsPath,
                 const CsvOptions& options) {
  try {
    ExportList(list, platform::FsPath{fsPath}, options);
    return 0;
  } catch (const platform::EInOutError& e) {
    // "Not found" while creating a file means the folder: gone since the
    // start, or one that takes no new files (/proc).
    std::string why;
    if (e.Code() == platform::kIoFileNotFound || e.Code() == platform::kIoPathNotFound) {
      why = FolderProblem(fsPath);
      if (why.empty()) why = "no file can be made in the folder " + Folder(fsPath);
    }
    Say(given, why.empty() ? platform::Cp932ToUtf8(e.what()) : why);
  } catch (const std::exception& e) {
    Say(given, platform::Cp932ToUtf8(e.what()));
  }
  return 1;
}

int WriteCsvToStdout(const ChartList& list, const CsvOptions& options) {
  UseBinaryStdout();
  const std::string text = ChartCsvText(list, options);
  errno = 0;
  std::size_t written = std::fwrite(text.data(), 1, text.size(), stdout);
  if (written == text.size() && std::fflush(stdout) == 0) return 0;
  const int err = errno != 0 ? errno : EIO;
  Say("standard output", platform::Cp932ToUtf8(platform::IoErrorText(platform::IoCodeFromErrno(err))));
  return 1;
}
