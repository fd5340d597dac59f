// SPDX-License-Identifier: MIT
#pragma once
// TIniGT: the settings store. It works out where the settings file lies,
// reads and writes integer keys, and saves and restores a window's
// placement as eight integer keys. Every call goes straight to the file.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/placement.h"
#include "settings/ini_file.h"

// Folder put before a file name that has none.
enum TIniGTDefaultDir : std::uint8_t {
  ddApplication = 0,  // the program's settings folder (platform::SettingsDir)
  ddWindows = 1,      // the system's configuration folder
  ddNone = 2,         // none: relative to the current folder
};

// Kept for the stored layouts that set it; no operation reads it.
enum TIniGTFence : std::uint8_t { fnDoubleQuote = 0, fnParenthesis = 1, fnVer11Mode = 2, fnNone = 3 };

// The settings file named after an executable: the name without folder,
// extension ".ini", ASCII letters in lower case but a leading a-z raised
// ("D:/Apps/DAVARORE.EXE" gives "Davarore.ini", "1ABC.EXE" "1abc.ini").
std::string DefaultSettingsFileName(std::string_view executablePath);

class TIniGT {
 public:
  TIniGT();

  TIniGTDefaultDir DefaultDir() const { return FDefaultDir; }
  // Re-resolves the path at once: the settings file moves, nothing is copied.
  void SetDefaultDir(TIniGTDefaultDir value);
  // The name exactly as assigned, not the resolved path.
  const std::string& FileName() const { return FFileName; }
  void SetFileName(const std::string& name);
  TIniGTFence Fence() const { return FFence; }
  void SetFence(TIniGTFence value);
  bool FenceUntouched() const { return FFenceUntouched; }

  // Called once the owner has set its stored properties: without a file
  // name, the settings file is named after the executable ("bmslist" gives
  // "Bmslist.ini").
  void Loaded();

  // The resolved path of the settings file.
  const std::string& Path() const { return FIniFile->FileName(); }

  // Default when the file, section or key is missing or the text is no integer.
  std::int32_t ReadInteger(std::string_view section, std::string_view key, std::int32_t defaultValue) const;
  // Throws EIniWriteError when the write is refused.
  void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);

  // Between BeginUpdate and EndUpdate writes are gathered and then made
  // with one write of the file, leaving the bytes the writes one by one
  // would leave. EndUpdate throws EIniWriteError when refused (nothing is
  // written then); CancelUpdate forgets what was gathered.
  void BeginUpdate();
  void EndUpdate();
  void CancelUpdate();

  // A text key (CP932), for what the window remembers besides the layout;
  // the default when the file, section or key is missing.
  std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
  // Throws EIniWriteError when the write is refused; gathered like
  // WriteInteger between BeginUpdate and EndUpdate.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);

  // Eight keys Prefix.Flags ... Prefix.YSize; a missing key leaves that
  // field as the window has it.
  void LoadPlacement(std::string_view section, std::string_view prefix, platform::PlacementWindow& window) const;
  // Writes the eight keys in order; throws EIniWriteError at the first
  // refused write, the keys before it staying written.
  void SavePlacement(std::string_view section, std::string_view prefix, const platform::PlacementWindow& window);

 private:
  void MakeSettingsFolder() const;
  bool FFenceUntouched = true;
  std::unique_ptr<TIniFile> FIniFile;
  bool updating_ = false;
  std::vector<platform::ProfileEntry> pending_;
  TIniGTDefaultDir FDefaultDir = ddApplication;
  std::string FFileName;
  TIniGTFence FFence = fnNone;
};
