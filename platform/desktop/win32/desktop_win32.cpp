// SPDX-License-Identifier: MIT
#include <windows.h>
#include <shellapi.h>

#include "platform/desktop/file_actions.h"
#include "platform/win32/wide.h"

namespace platform {

namespace {

std::string LastErrorText(DWORD code) {
  wchar_t* text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string out = text ? win32::WideToUtf8(text) : "error " + std::to_string(code);
  if (text) LocalFree(text);
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

}  // namespace

MoveResult MoveWithoutReplacing(const std::string& from, const std::string& to, std::string& error) {
  // Without MOVEFILE_REPLACE_EXISTING the move fails on an existing name.
  if (MoveFileExW(win32::FsToWide(from).c_str(), win32::FsToWide(to).c_str(), 0)) return MoveResult::kMoved;
  const DWORD code = GetLastError();
  if (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS) return MoveResult::kTargetExists;
  error = LastErrorText(code);
  return MoveResult::kFailed;
}

bool MoveToTrash(const std::string& path, std::string& error) {
  // The Recycle Bin: a delete the shell may undo.
  std::wstring from = win32::FsToWide(path);
  from.push_back(L'\0');  // the list ends with two zeros
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
  const int result = SHFileOperationW(&op);
  if (result != 0 || op.fAnyOperationsAborted) {
    error = "the Recycle Bin refused the file (" + std::to_string(result) + ")";
    return false;
  }
  return true;
}

bool StartProgram(const std::string& command, const std::string& file, std::string& error) {
  std::wstring line = win32::Utf8ToWide(command);
  const std::wstring word = L"\"" + win32::FsToWide(file) + L"\"";
  if (line.find(L"%f") == std::wstring::npos) {
    line += L" " + word;
  } else {
    for (std::size_t at = line.find(L"%f"); at != std::wstring::npos; at = line.find(L"%f", at + word.size()))
      line.replace(at, 2, word);
  }
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    error = LastErrorText(GetLastError());
    return false;
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

}  // namespace platform
