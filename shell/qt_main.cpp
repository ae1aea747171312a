// Korvin 4: the window program on the Qt platform. It takes one optional
// argument, a game file (a Korvin game or a PGN file) to load at the start,
// as "Open With" in a file manager hands it over.
#include <cstdio>
#include <string>

#include "qt_platform.h"
#include "startup.h"
#include "texts.h"
#include "user_language.h"

int main(int argc, char** argv) {
  ChooseLanguage(UserLanguages());   // before Qt, which loads its own texts in that language
  QtPlatform platform(argc, argv);  // takes Qt's own options out of argv
  if (argc > 2) {
    std::fprintf(stderr, "usage: korvin4 [GAME-FILE]\n");
    return 2;
  }
  return RunProgram(platform, argc == 2 ? std::string(argv[1]) : std::string());
}
