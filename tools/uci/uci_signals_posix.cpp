#include <csignal>

#include "uci_signals.h"

// A write to a pipe without a reader raises SIGPIPE, which would end the
// process; ignored, the write fails instead.
void SurviveClosedOutput() { std::signal(SIGPIPE, SIG_IGN); }
