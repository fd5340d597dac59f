#include "gui_win32/file_dialogs.h"

#include <commdlg.h>
#include <shlobj.h>

#include "drivers/detect_type.h"
#include "gui_win32/win_text.h"
#include "session/captions.h"

namespace {

constexpr DWORD kBufferSize = 65536;

// Where archives were last chosen: the dialog starts there next time.
std::wstring g_lastArchiveFolder;

}  // namespace

std::wstring OpenDialogFilter() {
  // The dialog matches without letter case: one pattern per extension.
  std::wstring patterns;
  for (const std::string& ext : ArchiveExtensions()) patterns += (patterns.empty() ? L"*" : L";*") + U(ext);
  std::wstring filter = W(kArchivesFilterCaption) + L" (" + patterns + L")";
  filter.push_back(L'\0');
  filter += patterns;
  filter.push_back(L'\0');
  filter += W(kAllFilesFilterCaption) + L" (*.*)";
  filter.push_back(L'\0');
  filter += L"*.*";
  filter.push_back(L'\0');
  return filter;
}

std::vector<std::wstring> SplitSelection(const wchar_t* buffer) {
  std::vector<std::wstring> parts;
  for (const wchar_t* p = buffer; *p; p += wcslen(p) + 1) parts.emplace_back(p);
  if (parts.size() <= 1) return parts;
  std::wstring folder = parts.front();
  if (folder.back() != L'\\') folder += L'\\';
  std::vector<std::wstring> paths;
  for (std::size_t i = 1; i < parts.size(); ++i) paths.push_back(folder + parts[i]);
  return paths;
}

std::vector<std::wstring> AskArchives(HWND owner) {
  std::wstring filter = OpenDialogFilter();
  std::wstring buffer(kBufferSize, L'\0');
  std::wstring folder = g_lastArchiveFolder.empty() ? DocumentsFolder() : g_lastArchiveFolder;
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = kBufferSize;
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
              OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&ofn)) return {};
  std::vector<std::wstring> paths = SplitSelection(buffer.c_str());
  if (!paths.empty()) g_lastArchiveFolder = paths.front().substr(0, paths.front().find_last_of(L'\\'));
  return paths;
}

std::wstring AskCsvTarget(HWND owner, const std::wstring& folder, const std::wstring& name) {
  std::wstring buffer(kBufferSize, L'\0');
  buffer.replace(0, name.size(), name);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = L"CSV(*.csv)\0*.csv\0";
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = kBufferSize;
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.lpstrDefExt = L"csv";
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_OVERWRITEPROMPT;
  if (!GetSaveFileNameW(&ofn)) return {};
  return buffer.c_str();
}

std::wstring DocumentsFolder() {
  wchar_t path[MAX_PATH];
  if (SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) return {};
  return path;
}
