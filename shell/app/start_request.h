// What a later start of the program in the same working folder asks of the
// running one (come to the front, open a file), as text over the hand-off
// channel (handoff_channel.h). The running program listens from start-up on;
// a later start sends one request and ends.
#pragma once

#include <string>
#include <vector>

#include "platform_types.h"

struct StartRequest {
  std::string openPath;         // a game file to load ("" for none), absolute
  std::string activationToken;  // the desktop's token for raising a window
};

// Starts listening for later starts. Returns the handle to watch for them,
// or -1 (then later starts cannot reach this program, and say so).
WaitHandle ListenForLaterStarts();

// Stops listening.
void StopListening();

enum class RequestSent {
  Confirmed,    // the running program took it
  Unconfirmed,  // sent, but no answer in time: it is taken once the program is free
  NotSent,      // the running program could not be reached
};

// Sends `request` to the program running in this folder and waits up to
// `waitMs` milliseconds for it to confirm; `error` tells why it did not.
RequestSent SendStartRequest(const StartRequest& request, int waitMs, std::string& error);

// Takes the requests waiting on the channel (after its handle was reported
// ready), confirms each, and returns them in order. Requests from another
// user, or that are not one of ours, are dropped.
std::vector<StartRequest> TakeStartRequests();

// The token a desktop hands a program it starts for raising a window
// (XDG_ACTIVATION_TOKEN, else DESKTOP_STARTUP_ID; "" for none).
std::string ActivationTokenOfThisStart();
