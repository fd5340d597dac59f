#include "archivers/zip/zip_directory.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace arc {

namespace {
constexpr std::uint64_t kMaxDirectory = 64u << 20;  // metadata bound for hostile files

std::uint16_t U16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t U32(const unsigned char* p) { return U16(p) | static_cast<std::uint32_t>(U16(p + 2)) << 16; }
std::uint64_t U64(const unsigned char* p) { return U32(p) | static_cast<std::uint64_t>(U32(p + 4)) << 32; }

bool ReadAt(int fd, std::uint64_t off, void* buf, std::size_t len) {
  auto* p = static_cast<unsigned char*>(buf);
  while (len > 0) {
    ssize_t n = pread(fd, p, len, static_cast<off_t>(off));
    if (n <= 0) return false;
    p += n;
    off += static_cast<std::uint64_t>(n);
    len -= static_cast<std::size_t>(n);
  }
  return true;
}

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

// Finds the end-of-directory record; fills directory offset, size, count.
bool LocateDirectory(int fd, std::uint64_t fileSize, std::uint64_t& dirOff, std::uint64_t& dirSize) {
  std::size_t tail = static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, 22 + 65535));
  if (tail < 22) return false;
  std::vector<unsigned char> buf(tail);
  std::uint64_t tailStart = fileSize - tail;
  if (!ReadAt(fd, tailStart, buf.data(), tail)) return false;
  for (std::size_t i = tail - 22 + 1; i-- > 0;) {
    const unsigned char* e = &buf[i];
    if (U32(e) != 0x06054b50) continue;
    dirSize = U32(e + 12);
    dirOff = U32(e + 16);
    if (dirOff == 0xFFFFFFFFu || dirSize == 0xFFFFFFFFu) {
      // ZIP64: the locator sits just before the record.
      if (i < 20) return false;
      const unsigned char* loc = e - 20;
      if (U32(loc) != 0x07064b50) return false;
      unsigned char rec[56];
      if (!ReadAt(fd, U64(loc + 8), rec, sizeof rec) || U32(rec) != 0x06064b50) return false;
      dirSize = U64(rec + 40);
      dirOff = U64(rec + 48);
    }
    // Self-extracting archives have a stub in front: the directory then
    // lies right before the end record, whatever the stored offset says.
    std::uint64_t endPos = tailStart + i;
    if (dirSize <= endPos && dirOff + dirSize != endPos) dirOff = endPos - dirSize;
    return dirOff + dirSize <= fileSize;
  }
  return false;
}
}  // namespace

std::vector<ZipDirEntry> ReadZipDirectory(const std::string& fsPath) {
  std::vector<ZipDirEntry> out;
  Fd fd(open(fsPath.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat st{};
  if (fd.get() < 0 || fstat(fd.get(), &st) != 0) return out;
  std::uint64_t dirOff = 0, dirSize = 0;
  if (!LocateDirectory(fd.get(), static_cast<std::uint64_t>(st.st_size), dirOff, dirSize)) return out;
  if (dirSize > kMaxDirectory) return out;
  std::vector<unsigned char> dir(static_cast<std::size_t>(dirSize));
  if (!ReadAt(fd.get(), dirOff, dir.data(), dir.size())) return out;
  std::size_t p = 0;
  while (p + 46 <= dir.size() && U32(&dir[p]) == 0x02014b50) {
    const unsigned char* h = &dir[p];
    std::size_t nameLen = U16(h + 28), extraLen = U16(h + 30), commentLen = U16(h + 32);
    if (p + 46 + nameLen + extraLen + commentLen > dir.size()) break;
    ZipDirEntry e;
    e.flags = U16(h + 8);
    e.method = U16(h + 10);
    e.crc = U32(h + 16);
    e.dosDateTime = static_cast<std::uint32_t>(U16(h + 14)) << 16 | U16(h + 12);
    e.compressedSize = U32(h + 20);
    e.rawName.assign(reinterpret_cast<const char*>(h + 46), nameLen);
    out.push_back(std::move(e));
    p += 46 + nameLen + extraLen + commentLen;
  }
  return out;
}

std::string ZipMethodName(std::uint16_t method) {
  switch (method) {
    case 0: return "store";
    case 8: return "deflate";
    case 9: return "deflt64";
    case 12: return "bzip2";
    case 14: return "lzma";
    case 93: return "zstd";
    case 95: return "xz";
    case 98: return "ppmd";
    case 99: return "aes";
    default: return "method" + std::to_string(method);
  }
}

}  // namespace arc
