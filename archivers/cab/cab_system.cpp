// SPDX-License-Identifier: MIT
#include "archivers/cab/cab_system.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace arc::cab {

namespace {

struct File {
  std::FILE* f = nullptr;  // null for the sink
  SinkSystem* owner = nullptr;
};

SinkSystem* Owner(mspack_system* self) { return reinterpret_cast<SinkSystem*>(self); }

mspack_file* Open(mspack_system* self, const char* filename, int mode) {
  auto* file = new (std::nothrow) File;
  if (!file) return nullptr;
  file->owner = Owner(self);
  if (std::strcmp(filename, kSinkName) == 0) {
    if (mode != MSPACK_SYS_OPEN_WRITE || !file->owner->sink) {
      delete file;
      return nullptr;
    }
  } else {
    // Only the cabinet itself is ever opened, and only for reading.
    file->f = mode == MSPACK_SYS_OPEN_READ ? fopen(filename, "rb") : nullptr;
    if (!file->f) {
      delete file;
      return nullptr;
    }
  }
  return reinterpret_cast<mspack_file*>(file);
}

void Close(mspack_file* mf) {
  auto* file = reinterpret_cast<File*>(mf);
  if (!file) return;
  if (file->f) std::fclose(file->f);
  delete file;
}

int Read(mspack_file* mf, void* buffer, int bytes) {
  auto* file = reinterpret_cast<File*>(mf);
  if (!file || !file->f || bytes < 0) return -1;
  std::size_t n = std::fread(buffer, 1, static_cast<std::size_t>(bytes), file->f);
  if (n == 0 && std::ferror(file->f)) return -1;
  return static_cast<int>(n);
}

int Write(mspack_file* mf, void* buffer, int bytes) {
  auto* file = reinterpret_cast<File*>(mf);
  if (!file || file->f || bytes < 0) return -1;
  SinkSystem* owner = file->owner;
  if (owner->sinkStopped) return -1;
  bool more = true;
  try {
    more = bytes == 0 || (*owner->sink)(buffer, static_cast<std::size_t>(bytes));
  } catch (...) {
    owner->sinkError = std::current_exception();
    more = false;
  }
  if (!more) {
    // A short write makes the library give up on this file, which is how
    // a sink that wants no more stops the extraction.
    owner->sinkStopped = true;
    return -1;
  }
  return bytes;
}

int Seek(mspack_file* mf, off_t offset, int mode) {
  auto* file = reinterpret_cast<File*>(mf);
  if (!file || !file->f) return -1;
  int whence = mode == MSPACK_SYS_SEEK_START ? SEEK_SET : mode == MSPACK_SYS_SEEK_CUR ? SEEK_CUR : SEEK_END;
  return fseeko(file->f, offset, whence) == 0 ? 0 : -1;
}

off_t Tell(mspack_file* mf) {
  auto* file = reinterpret_cast<File*>(mf);
  return file && file->f ? ftello(file->f) : 0;
}

void Message(mspack_file*, const char*, ...) {}  // warnings become error codes

void* Alloc(mspack_system*, size_t bytes) { return std::malloc(bytes); }
void Free(void* p) { std::free(p); }
void Copy(void* src, void* dest, size_t bytes) { std::memcpy(dest, src, bytes); }

}  // namespace

void InitSinkSystem(SinkSystem& s) {
  s.sys = mspack_system{&Open, &Close, &Read, &Write, &Seek, &Tell, &Message, &Alloc, &Free, &Copy, nullptr};
  s.sink = nullptr;
  s.sinkStopped = false;
  s.sinkError = nullptr;
}

}  // namespace arc::cab
