#include "cli_main.h"

// The arguments arrive as the bytes the user gave, UTF-8 on every current
// system.
int main(int argc, char** argv) { return RunCli(argc, argv); }
