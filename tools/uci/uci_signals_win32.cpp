#include "uci_signals.h"

// A write to a pipe without a reader fails on Windows; no event ends the
// process for it, so there is nothing to change.
void SurviveClosedOutput() {}
