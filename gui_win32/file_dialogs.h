// SPDX-License-Identifier: MIT
#pragma once
// The system's file dialogs as the main window uses them: archives to open
// (several at once, filtered to the archive types), the CSV to export or to
// read back, and the song library folder.
// Neither changes the current folder, which is the working folder during
// drops.
#include <string>
#include <vector>

#include "platform/win32/windows_api.h"

// "アーカイブ (*.lzh;*.zip...)", its patterns, "すべてのファイル (*.*)",
// "*.*", each ended by a NUL, the whole by a second one.
std::wstring OpenDialogFilter();

// The full paths chosen, or none when the user cancelled.
std::vector<std::wstring> AskArchives(HWND owner);

// The file name chosen for the export (a question before replacing a file),
// or "" when the user cancelled. Starts in `folder`, named `name`.
std::wstring AskCsvTarget(HWND owner, const std::wstring& folder, const std::wstring& name);

// A list exported earlier to read back, or "" when the user cancelled.
// Starts in `folder`.
std::wstring AskCsvToImport(HWND owner, const std::wstring& folder);

// A difficulty table to read in (a header JSON or an HTML page), or "" when
// the user cancelled.
std::wstring AskTableFile(HWND owner);

// A folder chosen in the system's folder picker, titled `title`, starting
// in `start` when it exists; "" when the user cancelled.
std::wstring AskFolder(HWND owner, const std::wstring& title, const std::wstring& start);

// The user's Documents folder ("" when the system names none).
std::wstring DocumentsFolder();

// Splits the buffer of a multiple-selection open dialog: the folder and the
// names after it, or one full path.
std::vector<std::wstring> SplitSelection(const wchar_t* buffer);
