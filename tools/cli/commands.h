// The korvin-cli subcommands; each takes the whole argv (argv[1] is its name)
// and returns the process exit status.
#pragma once

int CommandPerft(int argc, char** argv);
int CommandSearch(int argc, char** argv);
int CommandBench(int argc, char** argv);
int CommandEval(int argc, char** argv);
int CommandPlay(int argc, char** argv);
int CommandSelfplay(int argc, char** argv);
int CommandBook(int argc, char** argv);
int CommandGame(int argc, char** argv);
