// SPDX-License-Identifier: MIT
#pragma once
// Shared pieces of the format tests: reading a whole archive through a
// reader, and the error code a read ends with. Folders, files and sample
// contents come from tests/support.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "archivers/shared/archive_reader.h"
#include "tests/support/files.h"

namespace fmt_test {

using namespace test_support;

struct ReadEntry {
  arc::EntryInfo info;
  std::string data;
};
// Every entry with its data (folders have none), in archive order.
std::vector<ReadEntry> ReadAllEntries(arc::ArchiveReader& reader);
// The current entry's data, whole.
std::string ReadCurrentData(arc::ArchiveReader& reader);
// Name -> data of the files (not folders) among them.
std::map<std::string, std::string> FilesOf(const std::vector<ReadEntry>& entries);
// The ArcError code that `action` throws; 0 when it throws nothing. Any
// other exception fails the test.
int ErrorCodeOf(const std::function<void()>& action);

// The ArcError code reading the current entry's data ends with, or 0.
int DataErrorCode(arc::ArchiveReader& reader);

// Opens with `open` and reads everything; the ArcError code, or 0.
int ReadErrorCode(const std::function<std::unique_ptr<arc::ArchiveReader>(const std::string&)>& open,
                  const std::string& path);

}  // namespace fmt_test
