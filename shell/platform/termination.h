// The operating system's requests to terminate the program, turned into
// something the event loop can wait on: SIGTERM, SIGINT and SIGHUP on POSIX
// systems (a signal handler may do almost nothing, so it only makes a wait
// handle ready).
#pragma once

#include "platform_types.h"

// Starts catching the requests (once per process; later calls give the same
// handle). Returns the handle that is ready after a request came, or -1
// where there is nothing to catch or it could not be set up.
WaitHandle CatchTerminationRequests();

// After the handle was ready: takes the requests that came, so that the
// handle waits for the next one.
void TakeTerminationRequests();
