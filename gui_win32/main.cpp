// bmslist.exe: the main window; files given on the command line (a drop on
// the program's icon in Explorer) are handled as the first drop.
#include "charts/working_folder.h"
#include "gui_win32/form1.h"

#include <shellapi.h>

#include "platform/file_time.h"
#include "platform/win32/wide.h"

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
  std::vector<std::string> paths;
  for (int i = 1; argv && i < argc; ++i) {
    wchar_t full[32768];
    DWORD n = GetFullPathNameW(argv[i], 32768, full, nullptr);
    bool exact = true;
    std::string path = platform::win32::WideToCp932(std::wstring_view(full, n), &exact);
    if (n > 0 && n < 32768 && exact) paths.push_back(path);
  }
  if (argv) LocalFree(argv);
  if (!paths.empty()) form1.Drop(paths);

  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  return 0;
}
