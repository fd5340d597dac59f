// SPDX-License-Identifier: MIT
#pragma once
// Writing inside the destination folder only. Every path is walked from a
// descriptor of the destination, one folder at a time, with O_NOFOLLOW:
// a symbolic link (from the archive or already on disk) is never followed,
// so no entry can be steered outside. Existing files are replaced (unlinked,
// then created anew), which also never writes through a link.
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace arc {

class DestDir;

// A file being written; removed again unless committed. It uses its
// folder's descriptor, which the DestDir keeps open: an OutFile must be
// done with before the DestDir makes or enters another folder.
class OutFile {
 public:
  OutFile(const OutFile&) = delete;
  OutFile& operator=(const OutFile&) = delete;
  OutFile(OutFile&& other) noexcept;
  ~OutFile();
  // Throws ArcError(ERROR_CANNOT_WRITE or ERROR_DISK_SPACE).
  void Write(const void* data, std::size_t size);
  // Leaves `length` zero bytes as a hole: no room taken on disk.
  void Skip(std::uint64_t length);
  // Sets the modification time (when known) and closes the file.
  void Commit(std::time_t mtime);

 private:
  friend class DestDir;
  OutFile(int dirFd, int fd, std::string name);
  int dirFd_;  // not owned
  int fd_;
  std::string name_;
  std::uint64_t length_ = 0;
  bool endsInHole_ = false;  // the file must be lengthened at the end
};

class DestDir {
 public:
  // Opens the folder (CP932 path), creating it when missing. Throws
  // ArcError(ERROR_MAKEDIRECTORY).
  explicit DestDir(const std::string& cp932Path);
  ~DestDir();
  DestDir(const DestDir&) = delete;
  DestDir& operator=(const DestDir&) = delete;

  // Bytes an unprivileged writer may still use on the folder's file system.
  std::uint64_t FreeSpace() const;

  void MakeFolder(const std::vector<std::string>& dirs);
  OutFile CreateFile(const std::vector<std::string>& dirs, const std::string& leaf);
  void MakeSymlink(const std::vector<std::string>& dirs, const std::string& leaf, const std::string& target);
  void MakeHardlink(const std::vector<std::string>& dirs, const std::string& leaf,
                    const std::vector<std::string>& targetDirs, const std::string& targetLeaf);

 private:
  // Descriptor of the folder (owned by the cache); created when `create`.
  int Folder(const std::vector<std::string>& dirs, bool create);
  // Makes room for a new entry named `leaf` in folder fd.
  void RemoveExisting(int dirFd, const std::string& leaf);
  // A new file `leaf` in folder fd, replacing what had the name.
  int CreateExclusive(int dirFd, const std::string& leaf);

  int root_ = -1;
  std::vector<std::string> cachedDirs_;
  int cachedFd_ = -1;
};

}  // namespace arc
