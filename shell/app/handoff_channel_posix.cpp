#include "handoff_channel.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "texts.h"

namespace {

int listener = -1;

// A request is small: a path and a token.
constexpr size_t kLongestText = 64 * 1024;

using Deadline = std::chrono::steady_clock::time_point;

// The socket's name, in the abstract namespace (no file is made): the user
// and the working folder's device and inode.
bool AddressOfThisFolder(sockaddr_un& address, socklen_t& length) {
  struct stat folder;
  if (stat(".", &folder) != 0) return false;
  const std::string name = "korvin4/" + std::to_string(getuid()) + "/" +
                           std::to_string(folder.st_dev) + "/" + std::to_string(folder.st_ino);
  address = sockaddr_un{};
  address.sun_family = AF_UNIX;
  address.sun_path[0] = '\0';
  std::memcpy(address.sun_path + 1, name.data(), name.size());
  length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
  return true;
}

int MillisecondsLeft(Deadline deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits until `fd` is ready for `events` or the deadline passes.
bool WaitReady(int fd, short events, Deadline deadline) {
  for (;;) {
    pollfd look{fd, events, 0};
    const int n = poll(&look, 1, MillisecondsLeft(deadline));
    if (n > 0) return true;
    if (n == 0 || errno != EINTR) return false;
  }
}

bool WriteAll(int fd, const std::string& text, Deadline deadline) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
    if (n > 0) {
      done += static_cast<size_t>(n);
    } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
      if (!WaitReady(fd, POLLOUT, deadline)) return false;
    } else {
      return false;
    }
  }
  return true;
}

// Reads until the peer ends its side, the limit or the deadline.
std::string ReadAll(int fd, Deadline deadline) {
  std::string text;
  char buffer[4096];
  while (text.size() < kLongestText) {
    const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n > 0) {
      text.append(buffer, static_cast<size_t>(n));
    } else if (n == 0) {
      break;
    } else if (errno == EAGAIN || errno == EINTR) {
      if (!WaitReady(fd, POLLIN, deadline)) break;
    } else {
      break;
    }
  }
  return text;
}

// Only a program of the same user may ask anything.
bool FromThisUser(int fd) {
  ucred peer{};
  socklen_t size = sizeof peer;
  return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == getuid();
}

}  // namespace

WaitHandle OpenHandOffChannel() {
  CloseHandOffChannel();
  sockaddr_un address;
  socklen_t length;
  if (!AddressOfThisFolder(address, length)) return -1;
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return -1;
  if (bind(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0 || listen(fd, 16) != 0) {
    close(fd);
    return -1;
  }
  listener = fd;
  return fd;
}

void CloseHandOffChannel() {
  if (listener < 0) return;
  close(listener);
  listener = -1;
}

HandOffSent SendOverHandOffChannel(const std::string& text, int waitMs, std::string& answer,
                                   std::string& error) {
  const Deadline deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  sockaddr_un address;
  socklen_t length;
  if (!AddressOfThisFolder(address, length)) {
    error = Fill(Tr("cannot look at the working folder: %1"), {std::strerror(errno)});
    return HandOffSent::NotSent;
  }
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    error = std::strerror(errno);
    return HandOffSent::NotSent;
  }
  if (connect(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0) {
    error = std::strerror(errno);
    close(fd);
    return HandOffSent::NotSent;
  }
  if (!WriteAll(fd, text, deadline)) {
    error = Tr("the request could not be sent");
    close(fd);
    return HandOffSent::NotSent;
  }
  shutdown(fd, SHUT_WR);
  // The answer comes once the running program has taken the request; it
  // may be busy (its file requester is open, say) and answer later.
  answer.clear();
  if (WaitReady(fd, POLLIN, deadline)) answer = ReadAll(fd, deadline);
  close(fd);
  if (!answer.empty()) return HandOffSent::Answered;
  error = Tr("it did not answer in time");
  return HandOffSent::NoAnswer;
}

void ServeHandOffChannel(const std::function<std::string(const std::string&)>& reply, int waitMs) {
  if (listener < 0) return;
  for (;;) {
    const int fd = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) {
      if (errno == EINTR) continue;
      break;  // none left (EAGAIN), or nothing to be done about it
    }
    const Deadline deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    if (FromThisUser(fd)) {
      const std::string answer = reply(ReadAll(fd, deadline));
      if (!answer.empty()) WriteAll(fd, answer, deadline);
    }
    close(fd);
  }
}
