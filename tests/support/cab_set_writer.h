// SPDX-License-Identifier: MIT
#pragma once
// A cabinet set of two uncompressed cabinets, for tests: gcab makes no
// sets. The files are laid end to end in one folder up to the file that
// crosses `cutAt`; the folder is cut there, inside a data block, as
// cabinet makers cut it: the block is begun in the first cabinet (its
// unpacked size 0) and ended in the second, which goes on with the same
// folder to that file's end, listed in both cabinets, and puts the files
// after it in a folder of its own.
#include <string>
#include <utility>
#include <vector>

namespace test_support {

struct CabSetFile {
  std::string name;
  std::string data;
};

// The two cabinets' bytes; the first names `secondName` as its next, the
// second `firstName` as its previous.
std::pair<std::string, std::string> WriteCabSet(const std::vector<CabSetFile>& files, std::size_t cutAt,
                                                const std::string& firstName, const std::string& secondName);

}  // namespace test_support
