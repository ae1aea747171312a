// The channel a later start of the program uses to reach the one running in
// the same working folder: local to the machine, named after the user and the
// folder, so that only programs of the same user in the same folder meet.
// One exchange is one text each way: the later start sends its request and
// ends its side; the running program answers and closes. What the texts say
// is start_request's business; this is only the transport.
#pragma once

#include <functional>
#include <string>

#include "platform_types.h"

// Starts listening in the name of this folder. Returns the handle to watch
// for waiting exchanges, or -1 (then later starts cannot reach this
// program, and say so).
WaitHandle OpenHandOffChannel();

// Stops listening.
void CloseHandOffChannel();

enum class HandOffSent {
  Answered,    // sent, and the running program answered
  NoAnswer,    // sent, but no answer came in time (it may take it later)
  NotSent,     // the running program could not be reached
};

// Sends `text` to the program listening in this folder and waits up to
// `waitMs` milliseconds for its answer; `error` says why there is none.
HandOffSent SendOverHandOffChannel(const std::string& text, int waitMs, std::string& answer,
                                   std::string& error);

// Takes every exchange waiting now (after the handle was reported ready):
// reads what a program of this user sent and sends back what `reply` makes
// of it ("" sends nothing). Exchanges from another user are closed unread.
// Each one is given at most `waitMs` milliseconds.
void ServeHandOffChannel(const std::function<std::string(const std::string&)>& reply, int waitMs);
