// SPDX-License-Identifier: MIT
// Reader of Microsoft cabinets through libmspack, which also reads the
// cabinets with reserve fields that other libraries refuse. A cabinet
// that names a next one is read with the cabinets that follow it (a
// cabinet set), so a file that goes on into the next cabinet is whole.
#include <mspack.h>

#include <deque>
#include <exception>
#include <memory>
#include <set>
#include <utility>

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"
#include "archivers/cab/cab_system.h"
#include "archivers/shared/dos_fields.h"
#include "archivers/shared/incomplete_set_reader.h"
#include "archivers/shared/volume_names.h"
#include "platform/input_file.h"
#include "platform/cp932.h"
#include "platform/paths.h"
#include "archivers/cab/cab_format.h"

namespace arc {

namespace {

// DOS attribute bits among the CAB attributes (the others mark "execute"
// and a UTF-8 name).
constexpr int kDosAttributeBits = MSCAB_ATTRIB_RDONLY | MSCAB_ATTRIB_HIDDEN | MSCAB_ATTRIB_SYSTEM | MSCAB_ATTRIB_ARCH;

int ToArcError(int mspackError) {
  switch (mspackError) {
    case MSPACK_ERR_OPEN: return ERROR_ARC_FILE_OPEN;
    case MSPACK_ERR_SIGNATURE: return ERROR_NOT_ARC_FILE;
    case MSPACK_ERR_CHECKSUM: return ERROR_FILE_CRC;
    case MSPACK_ERR_NOMEMORY: return ERROR_ENOUGH_MEMORY;
    case MSPACK_ERR_WRITE: return ERROR_CANNOT_WRITE;
    default: return ERROR_BROKEN_DATA;  // read, seek, data format, decrunch
  }
}

const char* MethodName(int compType) {
  switch (compType & 0x0F) {
    case MSCAB_COMP_NONE: return "None";
    case MSCAB_COMP_MSZIP: return "MSZIP";
    case MSCAB_COMP_QUANTUM: return "Quantum";
    case MSCAB_COMP_LZX: return "LZX";
    default: return "?";
  }
}

// CP932 unless the name is flagged UTF-8; a UTF-8 name that CP932 cannot
// hold stays UTF-8 and says so rather than losing characters.
void SetName(const mscabd_file& f, EntryInfo& info) {
  std::string raw = f.filename ? f.filename : "";
  if (!(f.attribs & MSCAB_ATTRIB_UTF_NAME)) {
    info.name = BackslashesToSlashes(raw);
    return;
  }
  for (char& c : raw) {
    if (c == '\\') c = '/';
  }
  std::string cp932;
  if (platform::TryUtf8ToCp932(raw, cp932)) {
    info.name = cp932;
  } else {
    info.name = raw;
    info.nameIsUtf8 = true;
  }
}

std::uint32_t DosDateTime(const mscabd_file& f) {
  if (f.date_y < 1980 || f.date_y > 2107) return 0;
  return static_cast<std::uint32_t>(f.date_y - 1980) << 25 | static_cast<std::uint32_t>(f.date_m) << 21 |
         static_cast<std::uint32_t>(f.date_d) << 16 | static_cast<std::uint32_t>(f.time_h) << 11 |
         static_cast<std::uint32_t>(f.time_m) << 5 | static_cast<std::uint32_t>(f.time_s) / 2;
}

class CabReader : public ArchiveReader {
 public:
  CabReader() { cab::InitSinkSystem(sys_); }
  ~CabReader() override { Close(); }
  CabReader(const CabReader&) = delete;
  CabReader& operator=(const CabReader&) = delete;

  void Open(const std::string& path) {
    int selftest;
    MSPACK_SYS_SELFTEST(selftest);
    if (selftest != MSPACK_ERR_OK) throw ArcError(ERROR_NOT_SUPPORT, "libmspack was built for another off_t");
    cp932Path_ = path;
    path_ = platform::FsName(path);
    OpenCabinet();
  }

  // The next cabinet of the set that is not there; empty when none is.
  const std::string& Missing() const { return missing_; }

  bool Next(EntryInfo& info) override {
    // A reopen after an early stop failed: the old file list is gone.
    if (!cabinet_) throw ArcError(ERROR_ARC_FILE_OPEN, "cabinet could not be reopened");
    if (!started_) {
      started_ = true;
      current_ = cabinet_->files;
    } else if (current_) {
      current_ = current_->next;
      ++index_;
    }
    dataRead_ = false;
    if (!current_) return false;
    info = EntryInfo{};
    SetName(*current_, info);
    info.size = current_->length;
    info.mtime = DosDateTimeToUnix(DosDateTime(*current_));
    info.attributes = static_cast<std::uint32_t>(current_->attribs & kDosAttributeBits);
    if (current_->folder) info.method = MethodName(current_->folder->comp_type);
    return true;
  }

  void ReadData(const std::function<bool(const void*, std::size_t)>& sink) override {
    if (!current_ || dataRead_) throw ArcError(ERROR_NOT_SEARCH_MODE, "no current entry");
    dataRead_ = true;
    sys_.sink = &sink;
    sys_.sinkStopped = false;
    sys_.sinkError = nullptr;
    int err = decomp_->extract(decomp_, current_, cab::kSinkName);
    sys_.sink = nullptr;
    if (sys_.sinkStopped || err != MSPACK_ERR_OK) {
      // libmspack keeps the half-used decoder after a short write or a
      // failure, which would spoil the next entry of the same folder.
      Reopen();
      if (sys_.sinkError) std::rethrow_exception(std::exchange(sys_.sinkError, nullptr));
      if (err != MSPACK_ERR_OK && !sys_.sinkStopped) throw ArcError(ToArcError(err), "cabinet entry is damaged");
    }
  }

 private:
  void OpenCabinet() {
    decomp_ = mspack_create_cab_decompressor(&sys_.sys);
    if (!decomp_) throw ArcError(ERROR_ENOUGH_MEMORY, "cannot start libmspack");
    cabinet_ = decomp_->open(decomp_, path_.c_str());
    if (!cabinet_) {
      int err = decomp_->last_error(decomp_);
      throw ArcError(err == MSPACK_ERR_OPEN ? ERROR_ARC_FILE_OPEN
                     : err == MSPACK_ERR_NOMEMORY ? ERROR_ENOUGH_MEMORY
                                                  : ERROR_NOT_ARC_FILE,
                     "not a cabinet");
    }
    AppendFollowingCabinets();
  }

  // The cabinets each one names as its next, in the same folder (the
  // names' own folders dropped), joined to the set while they match.
  void AppendFollowingCabinets() {
    missing_.clear();
    laterPaths_.clear();
    mscabd_cabinet* last = cabinet_;
    std::string at = cp932Path_;
    std::set<std::string> seen{at};
    while (last->flags & MSCAB_HDR_NEXTCAB) {
      std::string name = ReadCabinetLinks(at).next;
      if (name.empty()) return;
      std::string next = platform::ExtractFilePath(at) + name;
      if (!seen.insert(next).second) return;  // cabinets naming each other
      if (!platform::RegularFileSize(next)) {
        missing_ = next;
        return;
      }
      // libmspack keeps the name for the cabinet's life.
      laterPaths_.push_back(platform::FsName(next));
      mscabd_cabinet* cab = decomp_->open(decomp_, laterPaths_.back().c_str());
      if (!cab) return;
      if (decomp_->append(decomp_, last, cab) != MSPACK_ERR_OK) {
        // Not of this set: the set ends before it.
        decomp_->close(decomp_, cab);
        return;
      }
      last = cab;
      at = next;
    }
  }

  // Starts afresh at the current entry.
  void Reopen() {
    Close();
    OpenCabinet();
    current_ = cabinet_->files;
    for (std::size_t i = 0; i < index_ && current_; ++i) current_ = current_->next;
  }

  void Close() {
    if (decomp_) {
      if (cabinet_) decomp_->close(decomp_, cabinet_);
      mspack_destroy_cab_decompressor(decomp_);
    }
    decomp_ = nullptr;
    cabinet_ = nullptr;
    current_ = nullptr;  // it pointed into the cabinet's file list
  }

  cab::SinkSystem sys_;
  mscab_decompressor* decomp_ = nullptr;
  mscabd_cabinet* cabinet_ = nullptr;
  mscabd_file* current_ = nullptr;
  std::string cp932Path_;
  std::string path_;
  std::deque<std::string> laterPaths_;  // the set's later cabinets, file-system names
  std::string missing_;
  std::size_t index_ = 0;  // of current_ in the cabinet's file list
  bool started_ = false;
  bool dataRead_ = false;
};

}  // namespace

std::unique_ptr<ArchiveReader> OpenCabReader(const std::string& path) {
  auto reader = std::make_unique<CabReader>();
  reader->Open(path);
  if (!reader->Missing().empty()) {
    std::string missing = reader->Missing();
    return std::make_unique<IncompleteSetReader>(std::move(reader), missing);
  }
  return reader;
}

}  // namespace arc
