// SPDX-License-Identifier: MIT
#include "settings/inigt.h"

#include <array>

#include "platform/cp932.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "settings/ini_integer.h"

namespace {

// Linux has no Windows folder; the system-wide configuration folder is what
// holds machine-wide settings files here.
constexpr const char kSystemConfigDir[] = "/etc";

// The placement keys, in the order they are read and written.
constexpr std::array<const char*, 8> kPlacementSuffixes = {".Flags", ".Show", ".MaxX", ".MaxY",
                                                           ".X",     ".Y",    ".XSize", ".YSize"};

std::array<std::int32_t, 8> PlacementValues(const platform::WindowPlacement& p) {
  return {static_cast<std::int32_t>(p.flags),
          static_cast<std::int32_t>(p.showCmd),
          p.ptMaxPosition.x,
          p.ptMaxPosition.y,
          p.rcNormalPosition.left,
          p.rcNormalPosition.top,
          p.rcNormalPosition.right,
          p.rcNormalPosition.bottom};
}

void SetPlacementValues(platform::WindowPlacement& p, const std::array<std::int32_t, 8>& v) {
  p.flags = static_cast<std::uint32_t>(v[0]);
  p.showCmd = static_cast<std::uint32_t>(v[1]);
  p.ptMaxPosition = {v[2], v[3]};
  p.rcNormalPosition = {v[4], v[5], v[6], v[7]};
}

bool HasFolderPart(std::string_view name) { return platform::LastDelimiterPos(name) != std::string_view::npos; }

}  // namespace

TIniGT::TIniGT() : FIniFile(std::make_unique<TIniFile>(std::string())) {}

void TIniGT::SetFileName(const std::string& name) {
  FFileName = name;
  FIniFile.reset();
  std::string path;
  if (HasFolderPart(name)) {
    path = name;
  } else {
    switch (FDefaultDir) {
      case ddApplication: path = platform::SettingsDir() + name; break;
      case ddWindows: path = std::string(kSystemConfigDir) + platform::kPathDelimiter + name; break;
      case ddNone: path = name; break;
    }
  }
  FIniFile = std::make_unique<TIniFile>(std::move(path));
}

void TIniGT::SetDefaultDir(TIniGTDefaultDir value) {
  FDefaultDir = value;
  SetFileName(FFileName);
}

void TIniGT::SetFence(TIniGTFence value) {
  FFence = value;
  FFenceUntouched = false;
}

std::string DefaultSettingsFileName(std::string_view executablePath) {
  std::string name = platform::AsciiLower(platform::ChangeFileExt(platform::ExtractFileName(executablePath), ".INI"));
  if (!name.empty() && name[0] >= 'a' && name[0] <= 'z') name[0] = static_cast<char>(name[0] - 'a' + 'A');
  return name;
}

void TIniGT::Loaded() {
  if (FFileName.empty()) SetFileName(DefaultSettingsFileName(platform::ExecutablePath()));
}

std::int32_t TIniGT::ReadInteger(std::string_view section, std::string_view key, std::int32_t defaultValue) const {
  return ParseIniInteger(FIniFile->ReadString(section, key, "")).value_or(defaultValue);
}

void TIniGT::MakeSettingsFolder() const {
  // The per-user settings folder (used when the executable's folder is not
  // writable) may not exist yet on a first run.
  if (FDefaultDir == ddApplication && !HasFolderPart(FFileName)) {
    std::string dir = platform::ExtractFilePath(Path());
    if (!platform::DirectoryExists(dir)) platform::ForceDirectories(dir);
  }
}

void TIniGT::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
  WriteString(section, key, FormatIniInteger(value));
}

std::string TIniGT::ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const {
  return FIniFile->ReadString(section, key, defaultValue);
}

void TIniGT::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  if (updating_) {
    pending_.push_back({std::string(section), std::string(key), std::string(value)});
    return;
  }
  MakeSettingsFolder();
  FIniFile->WriteString(section, key, value);
}

void TIniGT::BeginUpdate() {
  updating_ = true;
  pending_.clear();
}

void TIniGT::EndUpdate() {
  std::vector<platform::ProfileEntry> entries = std::move(pending_);
  CancelUpdate();
  MakeSettingsFolder();
  FIniFile->WriteStrings(entries);
}

void TIniGT::CancelUpdate() {
  updating_ = false;
  pending_.clear();
}

void TIniGT::LoadPlacement(std::string_view section, std::string_view prefix,
                           platform::PlacementWindow& window) const {
  platform::WindowPlacement placement;
  window.GetWindowPlacement(placement);
  std::array<std::int32_t, 8> values = PlacementValues(placement);
  for (std::size_t i = 0; i < values.size(); ++i)
    values[i] = ReadInteger(section, std::string(prefix) + kPlacementSuffixes[i], values[i]);
  SetPlacementValues(placement, values);
  window.SetWindowPlacement(placement);
}

void TIniGT::SavePlacement(std::string_view section, std::string_view prefix,
                           const platform::PlacementWindow& window) {
  platform::WindowPlacement placement;
  window.GetWindowPlacement(placement);
  std::array<std::int32_t, 8> values = PlacementValues(placement);
  for (std::size_t i = 0; i < values.size(); ++i)
    WriteInteger(section, std::string(prefix) + kPlacementSuffixes[i], values[i]);
}
