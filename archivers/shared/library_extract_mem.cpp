// SPDX-License-Identifier: MIT
#include "archivers/shared/library_extract_mem.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "archivers/shared/cmdline.h"
#include "archivers/shared/entry_path.h"
#include "archivers/shared/file_patterns.h"
#include "archivers/shared/info_records.h"
#include "archivers/shared/library_diagnostics.h"
#include "archivers/shared/output_budget.h"
#include "platform/input_file.h"

namespace arc {

namespace {

struct MemCommand {
  std::string archive;
  std::vector<std::string> masks;
  bool chosenOnly = false;  // -n: no listing, the chosen entries alone
};

// Switches ("-...") are passed over; the first word left is the archive,
// the others are masks.
int ParseMemCommand(const char* cmdLine, MemCommand& out) {
  if (!cmdLine) return ERROR_COMMAND_NAME;
  for (const CmdToken& t : TokenizeCommandLine(cmdLine)) {
    if (!t.quoted && t.text == "-n") out.chosenOnly = true;
    if (t.text.empty() || (!t.quoted && t.text[0] == '-')) continue;
    if (out.archive.empty())
      out.archive = t.text;
    else
      out.masks.push_back(t.text);
  }
  return out.archive.empty() ? ERROR_NOT_FIND_ARC_FILE : 0;
}

// The current entry's bytes, whole. Past kMemoryEntryLimit nothing more
// is kept and the entry is refused.
void ReadWhole(ArchiveReader& reader, const EntryInfo& info, std::string& bytes) {
  bytes.clear();
  if (info.sizeKnown && info.size > kMemoryEntryLimit) throw ArcError(ERROR_MORE_HEAP_MEMORY, "entry too large");
  if (info.sizeKnown) bytes.reserve(static_cast<std::size_t>(info.size));
  bool tooLarge = false;
  reader.ReadData([&](const void* data, std::size_t size) {
    if (bytes.size() + size > kMemoryEntryLimit) {
      tooLarge = true;
      return false;
    }
    bytes.append(static_cast<const char*>(data), size);
    return true;
  });
  if (tooLarge) throw ArcError(ERROR_MORE_HEAP_MEMORY, "entry too large");
}

// One pass over the archive. `each(reader, info, display, chosen)` answers
// false to stop. Entries not chosen from readers that decode to pass over
// (streams, solid archives) are weighed: past the bound an archive may
// expand to, the pass ends as an extraction would.
// A first-try reader that gives up half-way restarts the pass only where
// nothing was handed out (`restartable`); otherwise the pass fails.
template <typename Each>
void Pass(const std::vector<ReaderOpener>& openers, MemoryOpener firstTry, const MemCommand& cmd, bool restartable,
          Each&& each) {
  EntrySelection selection(cmd.masks, {});
  auto run = [&](ArchiveReader& reader) {
    const std::uint64_t cap =
        ExpansionCap(ExtractLimits{}, platform::RegularFileSize(cmd.archive).value_or(0));
    std::uint64_t passedOver = 0;
    EntryInfo info;
    while (reader.Next(info)) {
      if (!info.nameUnreadable.empty()) throw ArcError(ERROR_HEADER_BROKEN, info.nameUnreadable);
      // Most entries are told apart by their name's last bytes, without the
      // display name being made.
      const bool ruledOut = selection.RuledOut(info.name, info.nameIsUtf8);
      std::string display;
      if (!ruledOut || !cmd.chosenOnly) display = DisplayName(info.name, info.nameIsUtf8);
      const bool chosen = !ruledOut && selection.Selects(display);
      if ((chosen || !cmd.chosenOnly) && !each(reader, info, display, chosen)) return;
      if (chosen || reader.ListsCheaply() || info.isDirectory || info.isSymlink || info.isHardlink) continue;
      bool over = false;
      reader.ReadData([&](const void*, std::size_t size) {
        passedOver += size;
        over = passedOver > cap;
        return !over;
      });
      if (over) throw ArcError(ERROR_EXPANDS_TOO_FAR, "stopped: expands past any plausible size");
    }
  };
  if (firstTry) {
    try {
      RequireRegularFile(cmd.archive);
      auto reader = firstTry(cmd.archive, selection);
      try {
        run(*reader);
      } catch (const NotServedHere&) {
        if (!restartable) throw ArcError(ERROR_NOT_SUPPORT, "an entry the fast reader cannot serve");
        throw;
      }
      return;
    } catch (const NotServedHere&) {
      // Read again from the start through the usual reader.
    }
  }
  run(*OpenWithAny(openers, cmd.archive));
}

// The chosen entries' bytes, one buffer per thread kept from call to call
// (a fresh one per archive costs page faults), given back when an entry
// made it large.
std::string& ThreadBuffer() {
  thread_local std::string bytes;
  if (bytes.capacity() > (4u << 20)) std::string().swap(bytes);
  return bytes;
}

template <typename Body>
int Guarded(Body&& body) noexcept {
  LibraryDiagnosticsScope diagnostics;
  try {
    return body();
  } catch (const ArcError& e) {
    return e.Code();
  } catch (const platform::Error&) {
    return ERROR_BROKEN_DATA;
  } catch (const std::bad_alloc&) {
    return ERROR_ENOUGH_MEMORY;
  }
}

}  // namespace

int RunExtractMem(const std::vector<ReaderOpener>& openers, MemoryOpener firstTry, const char* cmdLine,
                  unsigned char* buffer, std::uint32_t size, std::int64_t* time, std::uint16_t* attributes,
                  std::uint32_t* written) noexcept {
  if (written) *written = 0;
  return Guarded([&] {
    MemCommand cmd;
    if (int r = ParseMemCommand(cmdLine, cmd)) return r;
    if (cmd.masks.empty()) return ERROR_NOT_FIND_FILE;
    cmd.masks.resize(1);
    int result = ERROR_NOT_FIND_FILE;
    std::string bytes;
    Pass(openers, firstTry, cmd, true, [&](ArchiveReader& reader, const EntryInfo& info, const std::string&, bool chosen) {
      // The first file the mask names; folders and links are passed over.
      if (!chosen || info.isDirectory || info.isSymlink || info.isHardlink) return true;
      if (MakeEntryPath(info.name, info.nameIsUtf8).unsafe) {
        result = ERROR_UNSAFE_PATH;
        return false;
      }
      ReadWhole(reader, info, bytes);
      if (written) *written = static_cast<std::uint32_t>(bytes.size());
      if (time) *time = reader.TimeOfReadEntry(info.mtime);
      if (attributes) *attributes = static_cast<std::uint16_t>(info.attributes);
      if (bytes.size() > size || (!buffer && !bytes.empty())) {
        result = ERROR_MORE_HEAP_MEMORY;
        return false;
      }
      if (!bytes.empty()) std::memcpy(buffer, bytes.data(), bytes.size());
      result = 0;
      return false;
    });
    return result;
  });
}

int RunListExtractMem(const std::vector<ReaderOpener>& openers, MemoryOpener firstTry, const char* cmdLine,
                      ENTRYMEMPROC proc, void* context) noexcept {
  return Guarded([&] {
    MemCommand cmd;
    if (int r = ParseMemCommand(cmdLine, cmd)) return r;
    if (!proc) return ERROR_COMMAND_NAME;
    int result = 0;
    std::string& bytes = ThreadBuffer();
    auto record = std::make_unique<ENTRYMEMINFO>();
    Pass(openers, firstTry, cmd, false, [&](ArchiveReader& reader, const EntryInfo& info, const std::string& display, bool chosen) {
      ENTRYMEMINFO& e = *record;
      std::memset(&e, 0, sizeof e);
      FillIndividualInfo(info, display, e.info);
      const bool file = !info.isDirectory && !info.isSymlink && !info.isHardlink;
      EntryPath path;
      if (chosen && !info.isDirectory) {
        path = MakeEntryPath(info.name, info.nameIsUtf8);
        if (path.unsafe) throw ArcError(ERROR_UNSAFE_PATH, "refused: " + display);
      }
      if (chosen && file && !path.leaf.empty()) {
        if (path.leaf.size() > FNAME_MAX32) throw ArcError(ERROR_LONG_FILE_NAME, "name too long: " + display);
        ReadWhole(reader, info, bytes);
        e.chosen = 1;
        e.data = reinterpret_cast<const unsigned char*>(bytes.data());
        e.size = static_cast<std::uint32_t>(bytes.size());
        e.attributes = static_cast<std::uint16_t>(info.attributes);
        e.time = reader.TimeOfReadEntry(info.mtime);
        std::memcpy(e.leafName, path.leaf.data(), path.leaf.size());
      } else if (chosen && !file && !info.isDirectory) {
        // A link an unpacking would make is no bytes to hand over.
        throw ArcError(ERROR_NOT_FILENAME, "not a file: " + display);
      }
      if (proc(context, &e) != 0) {
        result = ERROR_USER_CANCEL;
        return false;
      }
      return true;
    });
    return result;
  });
}

}  // namespace arc
