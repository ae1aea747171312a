// The child process of the kill test: the window program on the scripted
// platform in the working directory, ended by the program's own shutdown,
// which saves the kept game and the settings.
//   program_save_child save SEED [wait]  the game becomes a random game of
//       200 half-moves drawn with SEED; with "wait" the child prints "ready"
//       and waits for one byte on standard input before it ends (and saves),
//       then prints "saved" and waits until its standard input ends
//   program_save_child start  starts (and so removes leftovers), then ends
//       at once without saving
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "../../random_game.h"
#include "position.h"
#include "script_platform.h"
#include "shell_state.h"
#include "startup.h"
#include "event_loop.h"

int main(int argc, char** argv) {
  const bool save = argc >= 3 && std::strcmp(argv[1], "save") == 0;
  if (!save && !(argc == 2 && std::strcmp(argv[1], "start") == 0)) {
    std::fprintf(stderr, "usage: program_save_child save SEED [wait] | start\n");
    return 2;
  }
  ScriptPlatform platform;
  platform.SetFakePictureSize(10, 10);
  if (!StartUp(platform)) return 3;
  if (!save) std::_Exit(0);
  NewGame();
  SeedRandom(static_cast<uint32_t>(std::atoi(argv[2])));
  for (int n = 0; n < 200; n++)
    if (!PlayRandomMove()) return 4;
  if (argc == 4 && std::strcmp(argv[3], "wait") == 0) {
    std::printf("ready\n");
    std::fflush(stdout);
    char byte;
    if (read(0, &byte, 1) != 1) return 5;
  }
  ShutDown();
  if (argc == 4) {
    std::printf("saved\n");
    std::fflush(stdout);
    char byte;
    while (read(0, &byte, 1) == 1) {
    }
  }
  return shell.exitStatus;
}
