// Korvin 4: the window program on the Win32 platform. It takes one optional
// argument, a game file (a Korvin game or a PGN file) to load at the start,
// as "Open With" and a double-click in Explorer hand it over. There is no
// launcher on Windows: the program moves into its working folder itself
// (user_folder.h) before it starts.
#include <windows.h>

#include <string>
#include <vector>

#include "startup.h"
#include "texts.h"
#include "user_folder.h"
#include "user_language.h"
#include "win32_platform.h"
#include "win32_text.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  ChooseLanguage(UserLanguages());
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 0; i < count; i++) args.push_back(Utf8FromWide(arguments[i]));
  if (arguments != nullptr) LocalFree(arguments);
  if (args.size() > 2) {
    MessageBoxW(nullptr, WideFromUtf8(Tr("Korvin 4 opens one game file at a time.")).c_str(),
                L"Korvin 4", MB_OK | MB_ICONINFORMATION);
    return 2;
  }
  std::string openPath = args.size() == 2 ? args[1] : std::string();
  std::vector<std::string> message;
  if (!EnterUserFolder(openPath, message)) {
    std::string text;
    for (const std::string& line : message) text += (text.empty() ? "" : "\n") + line;
    MessageBoxW(nullptr, WideFromUtf8(text).c_str(), L"Korvin 4", MB_OK | MB_ICONERROR);
    return 1;
  }
  Win32Platform platform(instance);
  return RunProgram(platform, openPath);
}
