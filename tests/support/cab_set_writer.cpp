// SPDX-License-Identifier: MIT
#include "tests/support/cab_set_writer.h"

#include <algorithm>
#include <cstdint>

namespace test_support {

namespace {

constexpr std::size_t kBlock = 32768;
constexpr std::uint16_t kPrevious = 0x0001, kNext = 0x0002;
constexpr std::uint16_t kFromPrevious = 0xFFFD, kToNext = 0xFFFE;

void Put(std::string& s, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s += static_cast<char>(v >> (8 * i));
}
void Set(std::string& s, std::size_t at, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s[at + i] = static_cast<char>(v >> (8 * i));
}

struct Block {
  std::string data;
  std::uint16_t unpacked;  // 0: the block ends in the next cabinet
};

struct Listed {
  const CabSetFile* file;
  std::uint32_t offset;  // in the unpacked folder
  std::uint16_t folder;  // index, or a continuation mark
};

std::vector<Block> Blocks(const std::string& data) {
  std::vector<Block> out;
  for (std::size_t at = 0; at < data.size(); at += kBlock)
    out.push_back({data.substr(at, kBlock), static_cast<std::uint16_t>(std::min(kBlock, data.size() - at))});
  return out;
}

// One cabinet: header, folders, files, each folder's blocks (no checksums).
std::string Cabinet(std::uint16_t flags, std::uint16_t index, const std::string& names, const std::vector<Listed>& files,
                    const std::vector<std::vector<Block>>& folders) {
  std::string c = "MSCF";
  Put(c, 0, 4);
  Put(c, 0, 4);  // cabinet size, set below
  Put(c, 0, 4);
  Put(c, 0, 4);  // offset of the files, set below
  Put(c, 0, 4);
  c += '\x03';
  c += '\x01';
  Put(c, static_cast<std::uint32_t>(folders.size()), 2);
  Put(c, static_cast<std::uint32_t>(files.size()), 2);
  Put(c, flags, 2);
  Put(c, 0x1234, 2);  // set id
  Put(c, index, 2);
  c += names;
  std::vector<std::size_t> folderAt;
  for (const auto& blocks : folders) {
    folderAt.push_back(c.size());
    Put(c, 0, 4);  // first block, set below
    Put(c, static_cast<std::uint32_t>(blocks.size()), 2);
    Put(c, 0, 2);  // no compression
  }
  Set(c, 16, static_cast<std::uint32_t>(c.size()), 4);
  for (const Listed& l : files) {
    Put(c, static_cast<std::uint32_t>(l.file->data.size()), 4);
    Put(c, l.offset, 4);
    Put(c, l.folder, 2);
    Put(c, 0x5A2C, 2);  // 2025-01-12
    Put(c, 0x6000, 2);  // 12:00
    Put(c, 0x20, 2);
    c += l.file->name + '\0';
  }
  for (std::size_t f = 0; f < folders.size(); ++f) {
    Set(c, folderAt[f], static_cast<std::uint32_t>(c.size()), 4);
    for (const Block& b : folders[f]) {
      Put(c, 0, 4);  // no checksum
      Put(c, static_cast<std::uint32_t>(b.data.size()), 2);
      Put(c, b.unpacked, 2);
      c += b.data;
    }
  }
  Set(c, 8, static_cast<std::uint32_t>(c.size()), 4);
  return c;
}

}  // namespace

std::pair<std::string, std::string> WriteCabSet(const std::vector<CabSetFile>& files, std::size_t cutAt,
                                                const std::string& firstName, const std::string& secondName) {
  // The first folder runs to the end of the file that crosses the cut; the
  // second cabinet goes on with it and then starts a folder of its own.
  std::string folder, rest;
  std::vector<Listed> inFirst, inSecond;
  std::size_t i = 0;
  for (; i < files.size() && folder.size() < cutAt; ++i) {
    auto offset = static_cast<std::uint32_t>(folder.size());
    folder += files[i].data;
    if (folder.size() > cutAt) {
      inFirst.push_back({&files[i], offset, kToNext});
      inSecond.push_back({&files[i], offset, kFromPrevious});
    } else {
      inFirst.push_back({&files[i], offset, 0});
    }
  }
  for (; i < files.size(); ++i) {
    inSecond.push_back({&files[i], static_cast<std::uint32_t>(rest.size()), 1});
    rest += files[i].data;
  }
  // The block holding the cut is begun in the first cabinet and ended in
  // the second.
  std::vector<Block> first, second;
  std::size_t at = 0;
  for (const Block& b : Blocks(folder)) {
    if (at + b.data.size() <= cutAt) {
      first.push_back(b);
    } else if (at >= cutAt) {
      second.push_back(b);
    } else {
      first.push_back({b.data.substr(0, cutAt - at), 0});
      second.push_back({b.data.substr(cutAt - at), b.unpacked});
    }
    at += b.data.size();
  }
  std::vector<std::vector<Block>> secondFolders{second};
  if (!rest.empty()) secondFolders.push_back(Blocks(rest));
  std::string disk = "disk";
  std::string a = Cabinet(kNext, 0, secondName + '\0' + disk + '\0', inFirst, {first});
  std::string b = Cabinet(kPrevious, 1, firstName + '\0' + disk + '\0', inSecond, secondFolders);
  return {a, b};
}

}  // namespace test_support
