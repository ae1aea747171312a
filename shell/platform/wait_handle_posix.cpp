#include "wait_handle.h"

#include <poll.h>

bool WaitHandleReady(WaitHandle handle) {
  if (handle < 0) return false;
  pollfd look{static_cast<int>(handle), POLLIN, 0};
  return poll(&look, 1, 0) == 1 && (look.revents & (POLLIN | POLLHUP | POLLERR)) != 0;
}
