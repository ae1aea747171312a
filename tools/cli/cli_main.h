// korvin-cli's work, given its arguments in UTF-8. The system's entry point
// calls it (cli_entry_posix.cpp, cli_entry_win32.cpp; the build picks one).
#pragma once

int RunCli(int argc, char** argv);
