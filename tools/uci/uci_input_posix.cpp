#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "uci_input_system.h"

long ReadInputBytes(char* buffer, size_t size, bool wait) {
  if (!wait) {
    pollfd p{0, POLLIN, 0};
    if (poll(&p, 1, 0) <= 0 || !(p.revents & (POLLIN | POLLHUP | POLLERR))) return kNoInputYet;
  }
  ssize_t n;
  do {
    n = read(0, buffer, size);
  } while (n < 0 && errno == EINTR);
  return n <= 0 ? kInputEnded : static_cast<long>(n);
}
