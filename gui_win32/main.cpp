// SPDX-License-Identifier: MIT
// bmslist.exe: the main window; files given on the command line (a drop on
// the program's icon in Explorer) are handled as the first drop.
#include "gui_win32/form1.h"

#include "charts/working_folder.h"
#include "platform/file_time.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  platform::FixLocalTimeZone();
  // This copy's own working folder while it runs (a copy started while
  // another runs gets a private one, removed when it ends).
  WorkingFolderClaim workingFolder;
  TForm1 form1;
  if (!form1.Create()) return 1;
  form1.Show();

  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::wstring> files;
  for (int i = 1; argv && i < argc; ++i) files.emplace_back(argv[i]);
  if (argv) LocalFree(argv);
  form1.OpenFiles(files);

  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) {
    if (form1.TranslateShortcut(m)) continue;
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  return 0;
}
