// SPDX-License-Identifier: MIT
#include "tests/support/fake_archiver.h"

#include <cstring>
#include <filesystem>

#include "archives/earchiver.h"
#include "platform/msgwindow.h"
#include "platform/paths.h"
#include "tests/support/files.h"

namespace test_support {
namespace {

void CopyName(char* field, std::size_t size, const std::string& text) {
  std::strncpy(field, text.c_str(), size - 1);
  field[size - 1] = '\0';
}

}  // namespace

DriverSource FakeArchives::Source() {
  return {[this](const std::string& fileName) {
            const FakeArchive* a = Find(fileName);
            lastDetected_ = fileName;
            return a ? a->type : atNone;
          },
          [this](TArchiverType type) -> std::unique_ptr<TArchiver> {
            if (type > atRar) return nullptr;
            const FakeArchive* a = Find(lastDetected_);
            if (a && !a->raiseOnLoad.empty()) throw EArchiver(a->raiseOnLoad);
            return std::make_unique<FakeArchiver>(*this);
          }};
}

const FakeArchive* FakeArchives::Find(const std::string& path) const {
  auto it = archives_.find(path);
  return it == archives_.end() ? nullptr : &it->second;
}

int FakeArchiver::Unpack(WindowHandle, const std::string& arcFileName, const TArchiverOptions&,
                         const std::string& baseDir, const TStringList*, bool, std::string&) {
  FCmdLine = "x " + arcFileName + " " + baseDir;
  {
    std::lock_guard<std::mutex> lock(archives_.mutex_);
    archives_.unpacked_.push_back(arcFileName);
  }
  const FakeArchive* archive = archives_.Find(arcFileName);
  if (!archive) return ERROR_NOT_ARC_FILE;
  if (!archive->raiseOnUnpack.empty()) throw EArchiver(archive->raiseOnUnpack);

  const std::uint32_t message = platform::RegisterWindowMessage("wm_arcextract");
  EXTRACTINGINFOEX info{};
  CopyName(info.exinfo.szSourceFileName, sizeof info.exinfo.szSourceFileName, arcFileName);
  // The owner window answers 1 to abort, as with the libraries.
  auto report = [&](unsigned state) {
    return FOwnerWnd == 0 ||
           platform::SendMessage(FOwnerWnd, message, state, reinterpret_cast<std::intptr_t>(&info)) != 1;
  };
  if (!report(ARCEXTRACT_OPEN)) return ERROR_USER_CANCEL;
  for (const FakeEntry& entry : archive->entries) {
    const std::string dest = platform::IncludeTrailingDelimiter(baseDir) + entry.name;
    CopyName(info.exinfo.szSourceFileName, sizeof info.exinfo.szSourceFileName, entry.name);
    CopyName(info.exinfo.szDestFileName, sizeof info.exinfo.szDestFileName, dest);
    info.exinfo.dwFileSize = static_cast<std::uint32_t>(entry.bytes.size());
    if (!report(ARCEXTRACT_BEGIN)) return ERROR_USER_CANCEL;
    const std::string fsDest = platform::FsName(dest);
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(fsDest).parent_path(), ec);
    WriteBytes(fsDest, entry.bytes);
  }
  report(ARCEXTRACT_END);
  return archive->resultIn ? archive->resultIn(baseDir) : archive->result;
}

bool FakeArchiver::SetOwnerWindow(WindowHandle wnd, ARCHIVERPROC) {
  FOwnerWnd = wnd;
  return true;
}

bool FakeArchiver::KillOwnerWindow(WindowHandle) {
  FOwnerWnd = 0;
  return true;
}

}  // namespace test_support
