#include "tests/formats/format_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

namespace fmt_test {

TempDir::TempDir() {
  std::string pattern = (fs::temp_directory_path() / "bmslist-formats-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
  std::string file = Path() + name;
  fs::create_directories(fs::path(file).parent_path());
  WriteFileBytes(file, bytes);
  return file;
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

bool HaveTool(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

int RunIn(const std::string& dir, const std::string& command) {
  std::string line = "cd '" + dir + "' && " + command + " </dev/null >/dev/null 2>&1";
  int status = std::system(line.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string SampleText(std::size_t size, unsigned seed) {
  static const char* const kWords[] = {"#BPM 150", "#WAV01 kick.wav", "#TITLE ", "00111:01010101",
                                       "#ARTIST ", "\x8b\xc8",  "#PLAYLEVEL 7", "\r\n"};
  std::mt19937 rng(seed);
  std::string s;
  while (s.size() < size) {
    s += kWords[rng() % 8];
    s += static_cast<char>('0' + rng() % 10);
  }
  s.resize(size);
  return s;
}

std::string NoiseBytes(std::size_t size, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s(size, '\0');
  for (char& c : s) c = static_cast<char>(rng());
  return s;
}

std::vector<ReadEntry> ReadAllEntries(arc::ArchiveReader& reader) {
  std::vector<ReadEntry> out;
  arc::EntryInfo info;
  while (reader.Next(info)) {
    ReadEntry e{info, {}};
    if (!info.isDirectory) reader.ReadData([&](const void* data, std::size_t size) {
      e.data.append(static_cast<const char*>(data), size);
      return true;
    });
    out.push_back(std::move(e));
  }
  return out;
}

std::map<std::string, std::string> FilesOf(const std::vector<ReadEntry>& entries) {
  std::map<std::string, std::string> files;
  for (const auto& e : entries) {
    if (!e.info.isDirectory) files[e.info.name] = e.data;
  }
  return files;
}

std::map<std::string, std::string> FilesUnder(const std::string& dir) {
  std::map<std::string, std::string> files;
  for (const auto& item : fs::recursive_directory_iterator(dir)) {
    if (item.is_regular_file()) files[fs::relative(item.path(), dir).string()] = ReadFileBytes(item.path().string());
  }
  return files;
}

int ErrorCodeOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const arc::ArcError& e) {
    return e.Code();
  }
  return 0;
}

int ReadErrorCode(const std::function<std::unique_ptr<arc::ArchiveReader>(const std::string&)>& open,
                  const std::string& path) {
  return ErrorCodeOf([&] {
    auto reader = open(path);
    ReadAllEntries(*reader);
  });
}

}  // namespace fmt_test
