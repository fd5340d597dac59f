// SPDX-License-Identifier: MIT
#include "gui_win32/file_dialogs.h"

#include <commdlg.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "drivers/detect_type.h"
#include "gui_win32/win_text.h"
#include "session/captions.h"

namespace {

constexpr DWORD kBufferSize = 65536;

// Where archives were last chosen: the dialog starts there next time.
std::wstring g_lastArchiveFolder;

// The common part of the three file dialogs: owner, filter, the name
// buffer and the folder they start in.
OPENFILENAMEW FileDialog(HWND owner, const wchar_t* filter, std::wstring& buffer, const std::wstring& folder) {
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter;
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = kBufferSize;
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  return ofn;
}

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
  OPENFILENAMEW ofn = FileDialog(owner, filter.c_str(), buffer, folder);
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
  OPENFILENAMEW ofn = FileDialog(owner, L"CSV(*.csv)\0*.csv\0", buffer, folder);
  ofn.lpstrDefExt = L"csv";
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_OVERWRITEPROMPT;
  if (!GetSaveFileNameW(&ofn)) return {};
  return buffer.c_str();
}

std::wstring AskCsvToImport(HWND owner, const std::wstring& folder) {
  std::wstring buffer(kBufferSize, L'\0');
  std::wstring filter = L"CSV(*.csv)";
  filter.push_back(L'\0');
  filter += L"*.csv";
  filter.push_back(L'\0');
  filter += W(kAllFilesFilterCaption) + L" (*.*)";
  filter.push_back(L'\0');
  filter += L"*.*";
  filter.push_back(L'\0');
  const std::wstring title = W(kReadCsvCaption);
  OPENFILENAMEW ofn = FileDialog(owner, filter.c_str(), buffer, folder);
  ofn.lpstrTitle = title.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&ofn)) return {};
  return buffer.c_str();
}

std::wstring AskTableFile(HWND owner) {
  std::wstring buffer(kBufferSize, L'\0');
  std::wstring filter = U(kTableFilesFilterCaption) + L" (*.json;*.html;*.htm)";
  filter.push_back(L'\0');
  filter += L"*.json;*.html;*.htm";
  filter.push_back(L'\0');
  filter += W(kAllFilesFilterCaption) + L" (*.*)";
  filter.push_back(L'\0');
  filter += L"*.*";
  filter.push_back(L'\0');
  const std::wstring title = U(kImportTableCaption);
  const std::wstring folder = DocumentsFolder();
  OPENFILENAMEW ofn = FileDialog(owner, filter.c_str(), buffer, folder);
  ofn.lpstrTitle = title.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&ofn)) return {};
  return buffer.c_str();
}

std::wstring AskFolder(HWND owner, const std::wstring& title, const std::wstring& start) {
  // The picker is a COM object; the window's thread may not have COM yet.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  std::wstring chosen;
  IFileOpenDialog* dialog = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                 reinterpret_cast<void**>(&dialog)))) {
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST | FOS_NOCHANGEDIR);
    dialog->SetTitle(title.c_str());
    IShellItem* folder = nullptr;
    if (!start.empty() &&
        SUCCEEDED(SHCreateItemFromParsingName(start.c_str(), nullptr, IID_IShellItem, reinterpret_cast<void**>(&folder)))) {
      dialog->SetFolder(folder);
      folder->Release();
    }
    IShellItem* item = nullptr;
    if (SUCCEEDED(dialog->Show(owner)) && SUCCEEDED(dialog->GetResult(&item))) {
      wchar_t* path = nullptr;
      if (SUCCEEDED(item->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
        chosen = path;
        CoTaskMemFree(path);
      }
      item->Release();
    }
    dialog->Release();
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return chosen;
}

std::wstring DocumentsFolder() {
  wchar_t path[MAX_PATH];
  if (SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) return {};
  return path;
}
