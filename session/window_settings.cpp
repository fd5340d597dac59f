// SPDX-License-Identifier: MIT
#include "session/window_settings.h"

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "session/column_table.h"
#include "session/export_target.h"
#include "session/settings_keys.h"
#include "settings/ini_write_error.h"

using namespace settings_keys;

WindowSettings::WindowSettings() {
  ini.SetDefaultDir(ddApplication);
  ini.SetFence(fnNone);
  ini.Loaded();
  platform::RemoveStaleProfileTemporaries(platform::ExtractFilePath(ini.Path()));
}

int WindowSettings::ColumnWidth(int column) const {
  const char* section = IsOptionalColumn(column) ? kOptionsSection : kColumnsSection;
  const int designed = ColumnAt(column).designedWidth;
  const int width = ini.ReadInteger(section, WidthKey(column), designed);
  return width >= 0 ? width : designed;
}

void WindowSettings::LoadPlacement(platform::PlacementWindow& window) const {
  ini.LoadPlacement(kFormsSection, kPlacementPrefix, window);
}

void WindowSettings::SaveLayout(const std::vector<int>& widths, const platform::PlacementWindow& window,
                                const SessionOptions& options) {
  ini.BeginUpdate();
  try {
    for (int i = 0; i < kChartColumnCount && i < static_cast<int>(widths.size()); ++i)
      ini.WriteInteger(kColumnsSection, WidthKey(i), widths[static_cast<std::size_t>(i)]);
    ini.SavePlacement(kFormsSection, kPlacementPrefix, window);
    for (int i = kChartColumnCount; i < ShownColumnCount(options) && i < static_cast<int>(widths.size()); ++i)
      ini.WriteInteger(kOptionsSection, WidthKey(ShownColumn(options, i)), widths[static_cast<std::size_t>(i)]);
    ini.EndUpdate();
  } catch (...) {
    ini.CancelUpdate();
    throw;
  }
}

std::string WindowSettings::StoreOptions(const SessionOptions& options) {
  try {
    WriteOptions(options);
  } catch (const EIniWriteError& e) {
    return e.what();
  }
  return {};
}

std::string WindowSettings::ExportFolder() const {
  std::string folder = ini.ReadString(kExportSection, kExportFolderKey, "");
  if (folder.empty() || !platform::DirectoryExists(folder) || IsInWorkingFolders(folder)) return {};
  return folder;
}

void WindowSettings::RememberExportFolder(const std::string& csvPath) {
  try {
    ini.WriteString(kExportSection, kExportFolderKey, platform::ExtractFilePath(csvPath));
  } catch (const EIniWriteError&) {
  }
}
