// SPDX-License-Identifier: MIT
// The claim on a working folder as a named mutex: one per folder (named
// after its full path, letter case folded), held by one process at a time
// and released by the system when that process ends, however it ends.
#include "platform/folder_lock.h"

#include "platform/win32/windows_api.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "platform/paths.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

struct Claim {
  HANDLE mutex = nullptr;
  std::wstring folder;  // full path, case folded
};

// FolderLock keeps an int; here it is the key of the claim.
std::mutex registryMutex;
std::map<int, Claim> registry;
int nextKey = 1;

std::wstring FolderIdentity(std::string_view path) {
  std::wstring wide = win32::FsToWide(FsName(path));
  wchar_t full[32768];
  DWORD n = GetFullPathNameW(wide.c_str(), 32768, full, nullptr);
  std::wstring id = n > 0 && n < 32768 ? std::wstring(full, n) : wide;
  while (!id.empty() && (id.back() == L'\\' || id.back() == L'/')) id.pop_back();
  CharLowerBuffW(id.data(), static_cast<DWORD>(id.size()));
  return id;
}

bool IsFolder(std::string_view path) {
  DWORD a = GetFileAttributesW(win32::FsToWide(FsName(path)).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) && !(a & FILE_ATTRIBUTE_REPARSE_POINT);
}

}  // namespace

std::optional<FolderLock> FolderLock::TryLock(std::string_view path) {
  if (!IsFolder(path)) return std::nullopt;
  std::wstring id = FolderIdentity(path);
  std::uint32_t hash = 2166136261u;  // FNV-1a: mutex names cannot hold "\"
  for (wchar_t c : id) hash = (hash ^ static_cast<std::uint32_t>(c)) * 16777619u;
  wchar_t name[64];
  wsprintfW(name, L"Local\\bmslist-work-%08lx", static_cast<unsigned long>(hash));
  HANDLE m = CreateMutexW(nullptr, FALSE, name);
  if (!m) return std::nullopt;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    // Held by another copy, or abandoned and not yet released: only a
    // mutex this process creates counts as a claim.
    CloseHandle(m);
    return std::nullopt;
  }
  std::lock_guard<std::mutex> guard(registryMutex);
  int key = nextKey++;
  registry[key] = Claim{m, id};
  return FolderLock(key);
}

FolderLock::FolderLock(FolderLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FolderLock& FolderLock::operator=(FolderLock&& other) noexcept {
  if (this != &other) {
    this->~FolderLock();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

FolderLock::~FolderLock() {
  if (fd_ < 0) return;
  std::lock_guard<std::mutex> guard(registryMutex);
  auto it = registry.find(fd_);
  if (it != registry.end()) {
    CloseHandle(it->second.mutex);
    registry.erase(it);
  }
  fd_ = -1;
}

bool FolderLock::Names(std::string_view path) const {
  if (fd_ < 0 || !IsFolder(path)) return false;
  std::lock_guard<std::mutex> guard(registryMutex);
  auto it = registry.find(fd_);
  return it != registry.end() && it->second.folder == FolderIdentity(path);
}

}  // namespace platform
