#pragma once
// Test support for the archiver libraries: scratch folders, the Debian
// archivers run as references, and small writers for archives those tools
// cannot make (names as raw bytes, hostile names, chosen header levels).
#include <cstdint>
#include <ctime>
#include <map>
#include <string>
#include <vector>

namespace arc_test {

class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  // The folder with a trailing "/" (file-system name).
  const std::string& Path() const { return path_; }
  // Writes `bytes` to the relative `name`, creating folders; the full path.
  std::string Write(const std::string& name, const std::string& bytes) const;

 private:
  std::string path_;
};

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
// Runs `command` with /bin/sh in `dir`, output discarded; the exit status.
int Shell(const std::string& dir, const std::string& command);
// Single-quoted for the shell.
std::string ShellQuote(const std::string& s);

// Text that compresses, and bytes that do not (audio-like).
std::string TextBytes(std::size_t size, unsigned seed);
std::string NoiseBytes(std::size_t size, unsigned seed);

// Relative file-system name -> bytes of every regular file below `dir`
// (symbolic links are not followed, folders not listed).
std::map<std::string, std::string> FilesUnder(const std::string& dir);
// The same with the folders dropped from the names.
std::map<std::string, std::string> Flattened(const std::map<std::string, std::string>& files);
// Every path below `dir`, folders and links included ("a/", "a/b").
std::vector<std::string> TreeOf(const std::string& dir);
std::time_t MtimeOf(const std::string& path);

// One entry for the writers below. Names are raw bytes as stored.
struct RawEntry {
  RawEntry(std::string n, std::string d, char t = '0', std::string l = {}, std::time_t m = 946684800)
      : name(std::move(n)), data(std::move(d)), type(t), link(std::move(l)), mtime(m) {}
  std::string name;
  std::string data;
  char type;          // tar type: '0' file, '5' folder, '2' symlink, '1' hardlink
  std::string link;   // link target for '1' and '2'
  std::time_t mtime;  // default 2000-01-01 00:00:00 UTC
};

std::string MakeTar(const std::vector<RawEntry>& entries);             // ustar
std::string MakeStoredZip(const std::vector<RawEntry>& entries, bool utf8Flag);
// LZH with method -lh0-; level 0, 1 or 2 headers. "/" in names is stored
// the way the level requires ("\" in level 0/1 names, a folder field
// otherwise).
std::string MakeStoredLzh(const std::vector<RawEntry>& entries, int level);

// CP932 text of a UTF-8 literal (for Shift-JIS names).
std::string Sjis(const std::string& utf8);

}  // namespace arc_test
