#pragma once
// Shared pieces of the format tests: a scratch folder, the reference tools
// run in it, sample contents, and reading a whole archive through a reader.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "archivers/shared/archive_reader.h"

namespace fmt_test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  // The folder with its trailing "/".
  std::string Path() const { return path_ + "/"; }
  // Writes `bytes` to the relative `name`, creating its folders.
  std::string Write(const std::string& name, const std::string& bytes) const;

 private:
  std::string path_;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

bool HaveTool(const std::string& name);
// Runs `command` with /bin/sh in `dir`, output discarded; its exit status.
int RunIn(const std::string& dir, const std::string& command);

// Text-like bytes that compress well but not trivially.
std::string SampleText(std::size_t size, unsigned seed);
// Bytes that do not compress.
std::string NoiseBytes(std::size_t size, unsigned seed);

struct ReadEntry {
  arc::EntryInfo info;
  std::string data;
};
// Every entry with its data (folders have none), in archive order.
std::vector<ReadEntry> ReadAllEntries(arc::ArchiveReader& reader);
// Name -> data of the files (not folders) among them.
std::map<std::string, std::string> FilesOf(const std::vector<ReadEntry>& entries);
// Relative name -> bytes of every file below `dir`, names as the file
// system holds them.
std::map<std::string, std::string> FilesUnder(const std::string& dir);

// The ArcError code that `action` throws; 0 when it throws nothing. Any
// other exception fails the test.
int ErrorCodeOf(const std::function<void()>& action);

// Opens with `open` and reads everything; the ArcError code, or 0.
int ReadErrorCode(const std::function<std::unique_ptr<arc::ArchiveReader>(const std::string&)>& open,
                  const std::string& path);

}  // namespace fmt_test
