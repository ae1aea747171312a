#include <windows.h>

#include <string>
#include <vector>

#include "cli_main.h"

namespace {

std::string Utf8(const wchar_t* text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return "";
  std::string out(static_cast<size_t>(n - 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace

// The arguments arrive in UTF-16 (the program is linked with -municode) and
// are handed on in UTF-8, as everything inside the program takes them; what
// it prints is UTF-8 too, so the console is told so.
int wmain(int argc, wchar_t** argv) {
  SetConsoleOutputCP(CP_UTF8);
  std::vector<std::string> words;
  for (int i = 0; i < argc; i++) words.push_back(Utf8(argv[i]));
  std::vector<char*> pointers;
  for (std::string& w : words) pointers.push_back(w.data());
  pointers.push_back(nullptr);
  return RunCli(argc, pointers.data());
}
