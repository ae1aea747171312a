// How korvin-uci stands towards the signals or console events of its
// system. One implementation per system (uci_signals_posix.cpp,
// uci_signals_win32.cpp); the build picks one.
#pragma once

// A controlling program that goes away must not kill the engine in the
// middle of a line it writes; the end of its input ends the loop instead.
void SurviveClosedOutput();
