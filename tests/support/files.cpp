// SPDX-License-Identifier: MIT
#include "tests/support/files.h"

#include <cctype>
#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace test_support {

namespace {

// Gives the owner every right on `path` and, for a folder, on all below it,
// so that a test that took rights away does not leave its folder behind.
void MakeRemovable(const fs::path& path) {
  std::error_code ec;
  if (fs::is_symlink(path, ec)) return;
  fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ec);
  if (!fs::is_directory(path, ec)) return;
  for (auto it = fs::directory_iterator(path, ec); !ec && it != fs::directory_iterator(); it.increment(ec))
    MakeRemovable(it->path());
}

void Walk(const std::string& root, const std::string& rel,
          const std::function<void(const std::string&, const struct stat&)>& fn) {
  DIR* d = opendir((root + rel).c_str());
  if (!d) return;
  while (dirent* e = readdir(d)) {
    std::string n = e->d_name;
    if (n == "." || n == "..") continue;
    struct stat st{};
    if (lstat((root + rel + n).c_str(), &st) != 0) continue;
    fn(rel + n, st);
    if (S_ISDIR(st.st_mode)) Walk(root, rel + n + "/", fn);
  }
  closedir(d);
}

std::string WithSlash(const std::string& dir) { return dir.empty() || dir.back() != '/' ? dir + "/" : dir; }

}  // namespace

TempDir::TempDir() {
  std::string pattern = (fs::temp_directory_path() / "bmslist-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
  path_ = pattern + "/";
}

TempDir::~TempDir() {
  MakeRemovable(path_);
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
  std::string full = path_ + name;
  std::error_code ec;
  fs::create_directories(fs::path(full).parent_path(), ec);
  WriteBytes(full, bytes);
  return full;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::map<std::string, std::string> FilesUnder(const std::string& dir) {
  std::map<std::string, std::string> out;
  std::string root = WithSlash(dir);
  Walk(root, "", [&](const std::string& rel, const struct stat& st) {
    if (S_ISREG(st.st_mode)) out[rel] = ReadBytes(root + rel);
  });
  return out;
}

std::map<std::string, std::string> Flattened(const std::map<std::string, std::string>& files) {
  std::map<std::string, std::string> out;
  for (auto& [name, bytes] : files) out[name.substr(name.find_last_of('/') + 1)] = bytes;
  return out;
}

std::vector<std::string> FileNamesAt(const std::string& dir) {
  std::vector<std::string> out;
  for (auto& e : std::filesystem::directory_iterator(dir))
    if (!e.is_directory()) out.push_back(e.path().filename().string());
  return out;
}

std::string TestNameOf(std::string text) {
  for (char& c : text)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return text;
}

std::vector<std::string> TreeOf(const std::string& dir) {
  std::vector<std::string> out;
  std::string root = WithSlash(dir);
  Walk(root, "", [&](const std::string& rel, const struct stat& st) {
    out.push_back(S_ISDIR(st.st_mode) ? rel + "/" : rel);
  });
  std::sort(out.begin(), out.end());
  return out;
}

std::time_t MtimeOf(const std::string& path) {
  struct stat st{};
  return lstat(path.c_str(), &st) == 0 ? st.st_mtime : 0;
}

std::string ShellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

int Shell(const std::string& dir, const std::string& command) {
  std::string full = "cd " + ShellQuote(dir) + " && { " + command + " ; } </dev/null >/dev/null 2>&1";
  int r = std::system(full.c_str());
  return WIFEXITED(r) ? WEXITSTATUS(r) : -1;
}

bool HaveTool(const std::string& name) {
  return std::system(("command -v " + ShellQuote(name) + " >/dev/null 2>&1").c_str()) == 0;
}

std::string TextBytes(std::size_t size, unsigned seed) {
  static const char* words[] = {"#WAV01 kick.wav", "#BPM 150", "#00111:0101", "#TITLE song", "#ARTIST someone"};
  std::mt19937 rng(seed);
  std::string s;
  while (s.size() < size) s += std::string(words[rng() % 5]) + "\r\n";
  s.resize(size);
  return s;
}

std::string NoiseBytes(std::size_t size, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s(size, '\0');
  for (auto& c : s) c = static_cast<char>(rng());
  return s;
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

}  // namespace test_support
