// korvin-uci: the Korvin engine for any program that speaks UCI on standard
// input and output.
#include "uci_commands.h"
#include "uci_signals.h"

int main() {
  SurviveClosedOutput();
  InitUciEngine();
  RunUciLoop();
  return 0;
}
