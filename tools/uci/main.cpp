// korvin-uci: the Korvin engine for any program that speaks UCI on standard
// input and output.
#include <csignal>

#include "uci_commands.h"

int main() {
  // A controlling program that goes away must not kill us mid-line; the end
  // of its input ends the loop instead.
  std::signal(SIGPIPE, SIG_IGN);
  InitUciEngine();
  RunUciLoop();
  return 0;
}
