// SPDX-License-Identifier: MIT
#include "tests/formats/format_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

namespace fmt_test {

std::string ReadCurrentData(arc::ArchiveReader& reader) {
  std::string data;
  reader.ReadData([&](const void* p, std::size_t n) {
    data.append(static_cast<const char*>(p), n);
    return true;
  });
  return data;
}

std::vector<ReadEntry> ReadAllEntries(arc::ArchiveReader& reader) {
  std::vector<ReadEntry> out;
  arc::EntryInfo info;
  while (reader.Next(info)) out.push_back({info, info.isDirectory ? std::string() : ReadCurrentData(reader)});
  return out;
}

std::map<std::string, std::string> FilesOf(const std::vector<ReadEntry>& entries) {
  std::map<std::string, std::string> files;
  for (const auto& e : entries) {
    if (!e.info.isDirectory) files[e.info.name] = e.data;
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

int DataErrorCode(arc::ArchiveReader& reader) {
  return ErrorCodeOf([&] { reader.ReadData([](const void*, std::size_t) { return true; }); });
}

int ReadErrorCode(const std::function<std::unique_ptr<arc::ArchiveReader>(const std::string&)>& open,
                  const std::string& path) {
  return ErrorCodeOf([&] {
    auto reader = open(path);
    ReadAllEntries(*reader);
  });
}

}  // namespace fmt_test
