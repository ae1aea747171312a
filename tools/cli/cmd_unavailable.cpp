// The commands that read or write files, in a build without storage (the
// Windows build, until its file services build there): each says so and
// exits with the status of bad input.
#include <string>

#include "cli_common.h"
#include "commands.h"

namespace {

int Unavailable(const char* command) {
  return Fail(std::string("'") + command +
              "' is not in this build: it reads or writes files, which this build cannot do yet");
}

}  // namespace

int CommandBook(int, char**) { return Unavailable("book"); }
int CommandGame(int, char**) { return Unavailable("game"); }
int CommandPlay(int, char**) { return Unavailable("play"); }
int CommandSelfplay(int, char**) { return Unavailable("selfplay"); }
