// SPDX-License-Identifier: MIT
#include "tests/support/song_archives.h"

#include <filesystem>

#include "platform/cp932.h"
#include "tests/support/files.h"
#include "tests/support/rar_writer.h"

namespace fs = std::filesystem;

namespace test_support {

std::string JapaneseTitle() { return platform::Utf8ToCp932("曲名テスト"); }

std::vector<SongFile> TypicalSong() {
  return {
      {"song/a.bms", "#PLAYER 1\r\n#GENRE TECHNO\r\n#TITLE " + JapaneseTitle() +
                         "\r\n#ARTIST taro\r\n#BPM 150\r\n#PLAYLEVEL 7\r\n#WAV01 kick.wav\r\n#00111:01\r\n"},
      {"song/b.BMS", "#title other\n#BPM 95\n#BMP01 back.bmp\n#MIDIFILE x.mid\n"},
      {"song/readme.txt", "read me\r\n"},
      {"song/kick.wav", test_support::NoiseBytes(3000, 7)},
  };
}

namespace {

const char* kStamp = "202405031200.00";

std::string Quote(const std::string& s) { return "'" + s + "'"; }

std::string FileArgs(const std::vector<SongFile>& files) {
  std::string out;
  for (const auto& f : files) out += " " + Quote(f.name);
  return out;
}

}  // namespace

bool MakeArchive(const std::string& dir, const std::string& archiveName, const std::vector<SongFile>& files) {
  const std::string src = dir + "src-" + archiveName + "/";
  fs::create_directories(src);
  for (const auto& f : files) {
    fs::create_directories(fs::path(src + f.name).parent_path());
    test_support::WriteBytes(src + f.name, f.bytes);
    test_support::Shell(src, "TZ=UTC touch -t " + std::string(kStamp) + " " + Quote(f.name));
  }
  const std::string out = Quote(dir + archiveName);
  std::string ext = archiveName.substr(archiveName.rfind('.'));
  for (auto& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::string cmd;
  if (ext == ".lzh") {
    if (!test_support::HaveTool("jlha")) return false;
    // jlha reads names in the JVM's coding and, with "y", stores Shift-JIS.
    cmd = "JAVA_TOOL_OPTIONS=-Dsun.jnu.encoding=UTF-8 LC_ALL=C.UTF-8 jlha ay " + out + FileArgs(files);
  } else if (ext == ".zip") {
    cmd = "bsdtar --format zip -cf " + out + FileArgs(files);
  } else if (ext == ".cab") {
    if (!test_support::HaveTool("gcab")) return false;
    cmd = "gcab -c -z " + out + FileArgs(files);
  } else if (ext == ".arj") {
    if (!test_support::HaveTool("arj")) return false;
    cmd = "arj a -y " + out + FileArgs(files);
  } else if (ext == ".tar") {
    cmd = "bsdtar -cf " + out + FileArgs(files);
  } else if (ext == ".tgz") {
    cmd = "bsdtar -czf " + out + FileArgs(files);
  } else if (ext == ".taz") {
    cmd = "bsdtar -cf - " + FileArgs(files) + " | compress -c > " + out;
    if (!test_support::HaveTool("compress")) cmd = "bsdtar -cZf " + out + FileArgs(files);
  } else if (ext == ".bz2") {
    cmd = "bsdtar -cjf " + out + FileArgs(files);
  } else if (ext == ".xz") {
    cmd = "bsdtar -cf - " + FileArgs(files) + " | xz -c > " + out;
  } else if (ext == ".zst") {
    cmd = "bsdtar -cf - " + FileArgs(files) + " | zstd -qc > " + out;
  } else if (ext == ".tlz") {
    cmd = "bsdtar -cf - " + FileArgs(files) + " | lzma -c > " + out;
  } else if (ext == ".7z") {
    if (!test_support::HaveTool("7zz")) return false;
    cmd = "7zz a -bso0 -bsp0 " + out + FileArgs(files);
  } else if (ext == ".gz") {
    cmd = "gzip -c " + Quote(files.front().name) + " > " + out;
  } else if (ext == ".rar") {
    std::vector<test_support::RarEntry> entries;
    for (const auto& f : files) {
      test_support::RarEntry e;
      e.name = f.name;
      for (auto& c : e.name)
        if (c == '/') c = '\\';
      e.data = f.bytes;
      e.dosTime = (44u << 25) | (5u << 21) | (3u << 16) | (12u << 11);  // 2024-05-03 12:00
      entries.push_back(e);
    }
    test_support::WriteBytes(dir + archiveName, test_support::WriteRar4(entries));
    return true;
  } else {
    return false;
  }
  // In a subshell, so that the output redirection of the command itself holds.
  return test_support::Shell(src, "(" + cmd + ")") == 0 && fs::exists(dir + archiveName);
}

}  // namespace test_support
