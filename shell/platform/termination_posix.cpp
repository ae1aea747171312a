#include "termination.h"

#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <initializer_list>

namespace {

// The handler writes one byte to the first socket of a pair; the event loop
// watches the second.
int signalSocket[2] = {-1, -1};

void OnTerminationSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = write(signalSocket[0], &byte, 1);
}

}  // namespace

WaitHandle CatchTerminationRequests() {
  if (signalSocket[1] >= 0) return signalSocket[1];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalSocket) != 0) {
    signalSocket[0] = signalSocket[1] = -1;
    return -1;
  }
  struct sigaction action = {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int s : {SIGTERM, SIGINT, SIGHUP}) sigaction(s, &action, nullptr);
  return signalSocket[1];
}

void TakeTerminationRequests() {
  if (signalSocket[1] < 0) return;
  char bytes[64];
  while (read(signalSocket[1], bytes, sizeof bytes) > 0) {
  }
}
