// Korvin 4: the window program on the Qt platform.
#include "program.h"
#include "qt_platform.h"

int main(int argc, char** argv) {
  QtPlatform platform(argc, argv);
  return RunProgram(platform);
}
