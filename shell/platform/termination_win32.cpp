#include "termination.h"

// A window program on Windows is told of the end of the session through its
// windows' messages (the platform handles those); there are no signals to
// catch.
WaitHandle CatchTerminationRequests() { return -1; }

void TakeTerminationRequests() {}
