#include "start_request.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace {

int listener = -1;

// The first line of every request; anything else is not one of ours.
constexpr const char* kGreeting = "korvin4-start 2";
// A request is small: a path and a token.
constexpr size_t kLongestRequest = 64 * 1024;

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

int MillisecondsLeft(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits until `fd` is ready for `events` or the deadline passes.
bool WaitReady(int fd, short events, std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    pollfd look{fd, events, 0};
    const int n = poll(&look, 1, MillisecondsLeft(deadline));
    if (n > 0) return true;
    if (n == 0 || errno != EINTR) return false;
  }
}

bool WriteAll(int fd, const std::string& text, std::chrono::steady_clock::time_point deadline) {
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
std::string ReadAll(int fd, std::chrono::steady_clock::time_point deadline) {
  std::string text;
  char buffer[4096];
  while (text.size() < kLongestRequest) {
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

// A value on one line of a request: a backslash and a line break inside it
// (a file may be named with one) are written as "\\" and "\n".
std::string Escaped(const std::string& value) {
  std::string text;
  for (const char c : value) {
    if (c == '\\')
      text += "\\\\";
    else if (c == '\n')
      text += "\\n";
    else
      text += c;
  }
  return text;
}

// The value Escaped wrote; false for a line no start of this program wrote.
bool Unescaped(const std::string& text, std::string& value) {
  value.clear();
  for (size_t i = 0; i < text.size(); i++) {
    if (text[i] != '\\') {
      value += text[i];
      continue;
    }
    if (++i == text.size()) return false;
    if (text[i] == '\\')
      value += '\\';
    else if (text[i] == 'n')
      value += '\n';
    else
      return false;
  }
  return true;
}

// One request as text: a greeting, a line for each part, and an end mark.
std::string RequestText(const StartRequest& request) {
  std::string text = std::string(kGreeting) + "\n";
  if (!request.activationToken.empty()) text += "token " + Escaped(request.activationToken) + "\n";
  if (!request.openPath.empty()) text += "open " + Escaped(request.openPath) + "\n";
  return text + "end\n";
}

bool ParseRequest(const std::string& text, StartRequest& request) {
  std::istringstream in(text);
  std::string line;
  if (!std::getline(in, line) || line != kGreeting) return false;
  while (std::getline(in, line)) {
    if (line == "end") return true;
    if (line.rfind("token ", 0) == 0 && !Unescaped(line.substr(6), request.activationToken))
      return false;
    if (line.rfind("open ", 0) == 0 && !Unescaped(line.substr(5), request.openPath)) return false;
  }
  return false;  // cut short
}

// Only a program of the same user may ask anything.
bool FromThisUser(int fd) {
  ucred peer{};
  socklen_t size = sizeof peer;
  return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == getuid();
}

}  // namespace

WaitHandle ListenForLaterStarts() {
  StopListening();
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

void StopListening() {
  if (listener < 0) return;
  close(listener);
  listener = -1;
}

RequestSent SendStartRequest(const StartRequest& request, int waitMs, std::string& error) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  sockaddr_un address;
  socklen_t length;
  if (!AddressOfThisFolder(address, length)) {
    error = std::string("cannot look at the working folder: ") + std::strerror(errno);
    return RequestSent::NotSent;
  }
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    error = std::strerror(errno);
    return RequestSent::NotSent;
  }
  if (connect(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0) {
    error = std::strerror(errno);
    close(fd);
    return RequestSent::NotSent;
  }
  if (!WriteAll(fd, RequestText(request), deadline)) {
    error = "the request could not be sent";
    close(fd);
    return RequestSent::NotSent;
  }
  shutdown(fd, SHUT_WR);
  // The answer comes once the running program has taken the request; it
  // may be busy (its file requester is open, say) and answer later.
  std::string answer;
  if (WaitReady(fd, POLLIN, deadline)) answer = ReadAll(fd, deadline);
  close(fd);
  if (answer == "ok\n") return RequestSent::Confirmed;
  error = "it did not answer in time";
  return RequestSent::Unconfirmed;
}

std::vector<StartRequest> TakeStartRequests(WaitHandle listenerHandle) {
  std::vector<StartRequest> requests;
  const int listenerFd = static_cast<int>(listenerHandle);
  for (;;) {
    const int fd = accept4(listenerFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) {
      if (errno == EINTR) continue;
      break;  // none left (EAGAIN), or nothing to be done about it
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    StartRequest request;
    if (FromThisUser(fd) && ParseRequest(ReadAll(fd, deadline), request)) {
      WriteAll(fd, "ok\n", deadline);
      requests.push_back(request);
    }
    close(fd);
  }
  return requests;
}

std::string ActivationTokenOfThisStart() {
  for (const char* name : {"XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return value;
  }
  return "";
}
