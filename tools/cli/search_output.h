// Printing search results in the tools' line format.
#pragma once

#include <string>

// Prints "info depth <d> score <s> nodes <n> qnodes <q> pv <moves>".
void PrintIterationLine(int depth, int score);
