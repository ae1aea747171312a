#include "start_request.h"

#include <cstdlib>
#include <sstream>

#include "handoff_channel.h"

namespace {

// The first line of every request; anything else is not one of ours.
constexpr const char* kGreeting = "korvin4-start 2";
// The running program's answer once it has taken a request.
constexpr const char* kTaken = "ok\n";

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

}  // namespace

WaitHandle ListenForLaterStarts() { return OpenHandOffChannel(); }

void StopListening() { CloseHandOffChannel(); }

RequestSent SendStartRequest(const StartRequest& request, int waitMs, std::string& error) {
  std::string answer;
  switch (SendOverHandOffChannel(RequestText(request), waitMs, answer, error)) {
    case HandOffSent::NotSent:
      return RequestSent::NotSent;
    case HandOffSent::Answered:
      if (answer == kTaken) return RequestSent::Confirmed;
      error = "it did not take the request";
      return RequestSent::Unconfirmed;
    case HandOffSent::NoAnswer:
      break;
  }
  return RequestSent::Unconfirmed;
}

std::vector<StartRequest> TakeStartRequests() {
  std::vector<StartRequest> requests;
  ServeHandOffChannel(
      [&requests](const std::string& text) {
        StartRequest request;
        if (!ParseRequest(text, request)) return std::string();
        requests.push_back(request);
        return std::string(kTaken);
      },
      500);
  return requests;
}

std::string ActivationTokenOfThisStart() {
  for (const char* name : {"XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return value;
  }
  return "";
}
