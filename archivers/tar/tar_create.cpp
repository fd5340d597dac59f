// SPDX-License-Identifier: MIT
#include "archivers/tar/tar_create.h"

#include <archive.h>
#include <archive_entry.h>
#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <memory>

#include "archiver_api.h"
#include "archivers/shared/utf8_locale_scope.h"
#include "archivers/shared/archive_reader.h"
#include "archivers/shared/replacing_file.h"

namespace arc {

namespace {
struct WriteState {
  ReplacingFile* file;
  int error = 0;  // the code of a failed write, reported after libarchive gives up
};

la_ssize_t WriteCallback(struct archive*, void* client, const void* buffer, size_t length) {
  auto* st = static_cast<WriteState*>(client);
  try {
    st->file->Write(buffer, length);
    return static_cast<la_ssize_t>(length);
  } catch (const ArcError& e) {
    st->error = e.Code();
    return -1;
  }
}

struct ArchiveDeleter {
  void operator()(struct archive* a) const { archive_write_free(a); }
};
struct EntryDeleter {
  void operator()(struct archive_entry* e) const { archive_entry_free(e); }
};

void Check(struct archive* a, int r, const WriteState& st) {
  if (r >= ARCHIVE_WARN) return;
  if (st.error) throw ArcError(st.error, "cannot write the archive");
  throw ArcError(ERROR_CANNOT_WRITE, archive_error_string(a) ? archive_error_string(a) : "cannot write the archive");
}

void SetFilter(struct archive* a, const CreateRequest& req) {
  const char* name = nullptr;
  if (req.filter == StreamFilter::Gzip) {
    archive_write_add_filter_gzip(a);
    name = "gzip";
  } else if (req.filter == StreamFilter::Bzip2) {
    archive_write_add_filter_bzip2(a);
    name = "bzip2";
  }
  if (name && req.level >= 1) {
    std::string level = std::to_string(req.level > 9 ? 9 : req.level);
    archive_write_set_filter_option(a, name, "compression-level", level.c_str());
  }
}

void WriteFileData(struct archive* a, const SourceFile& s, const WriteState& st) {
  int fd = open(s.fsPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw ArcError(ERROR_FILE_OPEN, "cannot open " + s.fsPath);
  std::unique_ptr<int, void (*)(int*)> guard(&fd, [](int* f) { close(*f); });
  std::vector<char> buf(1 << 16);
  std::uint64_t left = s.size;
  while (left > 0) {
    ssize_t n = read(fd, buf.data(), static_cast<std::size_t>(std::min<std::uint64_t>(left, buf.size())));
    if (n < 0 && errno == EINTR) continue;
    // A file that shrank since it was listed would leave the entry short.
    if (n <= 0) throw ArcError(ERROR_CANNOT_READ, "cannot read " + s.fsPath);
    if (archive_write_data(a, buf.data(), static_cast<std::size_t>(n)) < 0) Check(a, ARCHIVE_FATAL, st);
    left -= static_cast<std::uint64_t>(n);
  }
}
}  // namespace

int RunTarCreate(const CreateRequest& req, std::string& message) {
  try {
    // libarchive's Windows writer turns "\" into "/" through the locale's
    // code page; under the engine's locale it sees whole characters.
    Utf8LocaleScope locale;
    std::vector<SourceFile> sources = CollectSourceFiles(req.source, req.archive);
    if (sources.empty()) throw ArcError(ERROR_NOT_FIND_FILE, "no files to add");
    ReplacingFile out(req.archive);
    WriteState st{&out};
    std::unique_ptr<struct archive, ArchiveDeleter> a(archive_write_new());
    if (!a) throw ArcError(ERROR_ENOUGH_MEMORY, "out of memory");
    // GNU tar keeps long names without converting their bytes.
    archive_write_set_format_gnutar(a.get());
    SetFilter(a.get(), req);
    archive_write_set_bytes_in_last_block(a.get(), 1);
    Check(a.get(), archive_write_open(a.get(), &st, nullptr, WriteCallback, nullptr), st);
    for (const auto& s : sources) {
      std::string name;
      if (!StoredNameCp932(s.fsName, name)) name = s.fsName;
      if (s.isFolder) name += '/';
      std::unique_ptr<struct archive_entry, EntryDeleter> e(archive_entry_new());
      archive_entry_copy_pathname(e.get(), name.c_str());
      archive_entry_set_filetype(e.get(), s.isFolder ? AE_IFDIR : AE_IFREG);
      archive_entry_set_perm(e.get(), s.isFolder ? 0755 : 0644);
      archive_entry_set_size(e.get(), s.isFolder ? 0 : static_cast<la_int64_t>(s.size));
      archive_entry_set_mtime(e.get(), s.mtime, 0);
      Check(a.get(), archive_write_header(a.get(), e.get()), st);
      if (!s.isFolder) WriteFileData(a.get(), s, st);
    }
    Check(a.get(), archive_write_close(a.get()), st);
    out.Commit();
    message = std::to_string(sources.size()) + " entries written";
    return 0;
  } catch (const ArcError& e) {
    message = e.what();
    return e.Code();
  }
}

}  // namespace arc
