// SPDX-License-Identifier: MIT
#include "session/song_installer.h"

#include "charts/archive_problem.h"
#include "platform/cp932.h"
#include "platform/path_text.h"
#include "platform/desktop/file_actions.h"
#include "platform/folder_tree.h"
#include "platform/paths.h"

namespace {

constexpr char kStagingPrefix[] = ".bmslist-install-";

bool EndsWithIgnoringCase(const std::string& text, const std::string& tail) {
  if (text.size() < tail.size()) return false;
  for (std::size_t i = 0; i < tail.size(); ++i) {
    char a = text[text.size() - tail.size() + i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (a != tail[i]) return false;
  }
  return true;
}

std::string ParentOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

std::string SongFolderName(const std::string& archiveFileName) {
  for (const char* twoPart : {".tar.gz", ".tar.bz2", ".tar.xz", ".tar.zst", ".tar.lzma", ".tar.z"})
    if (EndsWithIgnoringCase(archiveFileName, twoPart) && archiveFileName.size() > std::string(twoPart).size())
      return archiveFileName.substr(0, archiveFileName.size() - std::string(twoPart).size());
  const std::size_t dot = archiveFileName.find_last_of('.');
  if (dot == std::string::npos || dot == 0) return archiveFileName;
  return archiveFileName.substr(0, dot);
}

InstallResult InstallSong(TArchiveFile& component, WindowHandle window, const std::string& archivePath,
                          const std::string& libraryDir) {
  InstallResult result;
  // The libraries take their destination in code page 932, or in UTF-8
  // (their Unicode mode) where CP932 cannot hold it.
  const std::string libraryCp932 = platform::PathFromUtf8(libraryDir);
  if (!platform::MakeFolders(libraryDir)) {
    result.problems.push_back("曲フォルダを作れません: " + libraryDir);
    ++result.failed;
    return result;
  }
  try {
    component.SetFileName(archivePath);
  } catch (const std::exception& e) {
    result.problems.push_back("書庫のライブラリがないか使えません: " + platform::Cp932ToUtf8(e.what()));
    ++result.failed;
    return result;
  }
  if (!component.Archiver()) {
    result.problems.push_back("形式がわかりません");
    ++result.failed;
    return result;
  }
  std::string library = libraryCp932;
  if (library.back() != platform::kPathDelimiter) library += platform::kPathDelimiter;
  const std::string staging = platform::CreateUniqueFolder(library, kStagingPrefix);
  if (staging.empty()) {
    result.problems.push_back("曲フォルダに書き込めません: " + libraryDir);
    ++result.failed;
    return result;
  }
  std::int32_t code = 0;
  component.Options().x = 1;  // with the archive's folders: a song's files stay where its charts look for them
  try {
    code = component.Extract(window, &component.Options(), staging, nullptr);
  } catch (const std::exception& e) {
    platform::RemoveFolderTree(staging);
    result.problems.push_back(platform::Cp932ToUtf8(e.what()));
    ++result.failed;
    return result;
  }
  if (code != 0) {
    // A part of an archive is no song: nothing of it goes in.
    platform::RemoveFolderTree(staging);
    result.cancelled = code == ERROR_USER_CANCEL;
    if (!result.cancelled) {
      result.problems.push_back(platform::Cp932ToUtf8(ExtractResultReason(code)));
      ++result.failed;
    }
    return result;
  }

  const std::string stagingFs = platform::FsName(staging);
  const platform::FolderTop top = platform::ReadFolderTop(stagingFs);
  std::string source = stagingFs;
  std::string song;
  if (top.folders.size() == 1 && !top.otherEntries) {
    song = top.folders[0];
    source += "/" + song;
  } else {
    // The name part of a marked path is UTF-8 already.
    const std::string name = SongFolderName(platform::ExtractFileName(archivePath));
    song = platform::IsUtf8Path(archivePath) ? name : platform::FsName(name);
    song = song.substr(song.find_last_of('/') + 1);
  }
  std::string libraryFs = libraryDir;
  while (libraryFs.size() > 1 && libraryFs.back() == '/') libraryFs.pop_back();
  result.songFolder = libraryFs + "/" + song;

  for (const std::string& file : platform::FilesUnder(source)) {
    const std::string from = source + "/" + file;
    const std::string to = result.songFolder + "/" + file;
    std::string error;
    platform::MakeFolders(ParentOf(to));
    switch (platform::MoveWithoutReplacing(from, to, error)) {
      case platform::MoveResult::kMoved:
        ++result.written;
        break;
      case platform::MoveResult::kTargetExists:
        if (platform::SameContent(from, to)) {
          ++result.same;
        } else {
          ++result.kept;
          result.problems.push_back("既にある " + song + "/" + file + " を残しました (書庫のものと内容が違います)");
        }
        break;
      case platform::MoveResult::kFailed:
        ++result.failed;
        result.problems.push_back(song + "/" + file + ": " + error);
        break;
    }
  }
  platform::RemoveFolderTree(staging);
  return result;
}
