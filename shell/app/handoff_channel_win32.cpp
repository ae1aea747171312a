#include "handoff_channel.h"

// clang-format off
#include <windows.h>
#include <sddl.h>
// clang-format on

#include <chrono>
#include <cstdint>
#include <string>

#include "win32_text.h"
#include "working_folder_win32.h"

// A named pipe of this user (its security allows no one else), named after
// the user and the folder's identity. Windows pipes have no half-close, so
// each text goes with its length first (four bytes, little-endian). The
// server waits for a client with an overlapped ConnectNamedPipe whose event
// is the handle the event loop watches.

namespace {

// A request is small: a path and a token.
constexpr uint32_t kLongestText = 64 * 1024;

using Deadline = std::chrono::steady_clock::time_point;

struct Listener {
  HANDLE pipe = INVALID_HANDLE_VALUE;
  HANDLE connected = nullptr;  // the event of the waiting ConnectNamedPipe
  OVERLAPPED overlapped{};
  SECURITY_ATTRIBUTES security{};
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  std::wstring name;
};
Listener listener;

DWORD MillisecondsLeft(Deadline deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<DWORD>(left.count()) : 0;
}

// The current user's SID as text ("S-1-5-21-...").
std::wstring UserSid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return L"";
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::wstring sid;
  std::string buffer(size, '\0');
  if (size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
    wchar_t* text = nullptr;
    if (ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) {
      sid = text;
      LocalFree(text);
    }
  }
  CloseHandle(token);
  return sid;
}

// The pipe's name: the user and the working folder's volume and file index.
bool NameOfThisFolder(std::wstring& name, std::string& error) {
  std::wstring folder;
  if (!WorkingFolderIdentity(folder, error)) return false;
  const std::wstring sid = UserSid();
  if (sid.empty()) {
    error = "cannot tell who the user is: " + SystemMessage(GetLastError());
    return false;
  }
  name = L"\\\\.\\pipe\\korvin4-" + sid + L"-" + folder;
  return true;
}

// Waits for an overlapped operation on `handle` until the deadline; on a
// time-out the operation is cancelled. The bytes moved, or -1.
long Finish(HANDLE handle, OVERLAPPED& overlapped, BOOL started, Deadline deadline) {
  DWORD moved = 0;
  if (started) {
    GetOverlappedResult(handle, &overlapped, &moved, FALSE);
    return static_cast<long>(moved);
  }
  if (GetLastError() != ERROR_IO_PENDING) return -1;
  if (WaitForSingleObject(overlapped.hEvent, MillisecondsLeft(deadline)) != WAIT_OBJECT_0) {
    CancelIoEx(handle, &overlapped);
    GetOverlappedResult(handle, &overlapped, &moved, TRUE);
    return -1;
  }
  return GetOverlappedResult(handle, &overlapped, &moved, FALSE) ? static_cast<long>(moved) : -1;
}

bool Transfer(HANDLE handle, char* data, uint32_t size, bool write, Deadline deadline) {
  OVERLAPPED overlapped{};
  overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (overlapped.hEvent == nullptr) return false;
  uint32_t done = 0;
  while (done < size) {
    ResetEvent(overlapped.hEvent);
    const BOOL started = write ? WriteFile(handle, data + done, size - done, nullptr, &overlapped)
                               : ReadFile(handle, data + done, size - done, nullptr, &overlapped);
    const long moved = Finish(handle, overlapped, started, deadline);
    if (moved <= 0) break;
    done += static_cast<uint32_t>(moved);
  }
  CloseHandle(overlapped.hEvent);
  return done == size;
}

bool SendText(HANDLE handle, const std::string& text, Deadline deadline) {
  if (text.size() > kLongestText) return false;
  char length[4];
  const auto size = static_cast<uint32_t>(text.size());
  for (int i = 0; i < 4; i++) length[i] = static_cast<char>((size >> (8 * i)) & 0xff);
  std::string copy = text;
  return Transfer(handle, length, 4, true, deadline) &&
         Transfer(handle, copy.data(), size, true, deadline);
}

bool ReceiveText(HANDLE handle, std::string& text, Deadline deadline) {
  unsigned char length[4];
  if (!Transfer(handle, reinterpret_cast<char*>(length), 4, false, deadline)) return false;
  const uint32_t size = length[0] | length[1] << 8 | length[2] << 16 | static_cast<uint32_t>(length[3]) << 24;
  if (size > kLongestText) return false;
  text.assign(size, '\0');
  return Transfer(handle, text.data(), size, false, deadline);
}

// Starts waiting for the next client; true when one is connected already.
bool AwaitClient() {
  ResetEvent(listener.connected);
  listener.overlapped = OVERLAPPED{};
  listener.overlapped.hEvent = listener.connected;
  if (ConnectNamedPipe(listener.pipe, &listener.overlapped)) return true;
  const DWORD err = GetLastError();
  if (err == ERROR_PIPE_CONNECTED) {
    SetEvent(listener.connected);
    return true;
  }
  return false;  // ERROR_IO_PENDING: the event is set once one connects
}

}  // namespace

WaitHandle OpenHandOffChannel() {
  CloseHandOffChannel();
  std::string error;
  if (!NameOfThisFolder(listener.name, error)) return -1;
  // Only this user may connect: full access for the user, no one else.
  const std::wstring sddl = L"D:P(A;;GA;;;" + UserSid() + L")";
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                            &listener.descriptor, nullptr))
    return -1;
  listener.security = SECURITY_ATTRIBUTES{sizeof(SECURITY_ATTRIBUTES), listener.descriptor, FALSE};
  listener.pipe = CreateNamedPipeW(
      listener.name.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
      PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, kLongestText,
      kLongestText, 0, &listener.security);
  listener.connected = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (listener.pipe == INVALID_HANDLE_VALUE || listener.connected == nullptr) {
    CloseHandOffChannel();
    return -1;
  }
  AwaitClient();
  return reinterpret_cast<WaitHandle>(listener.connected);
}

void CloseHandOffChannel() {
  if (listener.pipe != INVALID_HANDLE_VALUE) {
    CancelIoEx(listener.pipe, nullptr);
    CloseHandle(listener.pipe);
  }
  if (listener.connected != nullptr) CloseHandle(listener.connected);
  if (listener.descriptor != nullptr) LocalFree(listener.descriptor);
  listener = Listener{};
}

HandOffSent SendOverHandOffChannel(const std::string& text, int waitMs, std::string& answer,
                                   std::string& error) {
  const Deadline deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  std::wstring name;
  if (!NameOfThisFolder(name, error)) return HandOffSent::NotSent;
  HANDLE pipe = INVALID_HANDLE_VALUE;
  for (;;) {
    pipe = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                       FILE_FLAG_OVERLAPPED, nullptr);
    if (pipe != INVALID_HANDLE_VALUE) break;
    const DWORD err = GetLastError();
    // Another later start is being answered: wait for the pipe.
    if (err == ERROR_PIPE_BUSY && MillisecondsLeft(deadline) > 0 &&
        WaitNamedPipeW(name.c_str(), MillisecondsLeft(deadline)))
      continue;
    error = SystemMessage(err);
    return HandOffSent::NotSent;
  }
  // The running program may bring its window to the front.
  ULONG server = 0;
  if (GetNamedPipeServerProcessId(pipe, &server)) AllowSetForegroundWindow(server);
  if (!SendText(pipe, text, deadline)) {
    error = "the request could not be sent";
    CloseHandle(pipe);
    return HandOffSent::NotSent;
  }
  // The answer comes once the running program has taken the request; it
  // may be busy (its file requester is open, say) and answer later.
  const bool answered = ReceiveText(pipe, answer, deadline);
  CloseHandle(pipe);
  if (answered && !answer.empty()) return HandOffSent::Answered;
  answer.clear();
  error = "it did not answer in time";
  return HandOffSent::NoAnswer;
}

void ServeHandOffChannel(const std::function<std::string(const std::string&)>& reply, int waitMs) {
  if (listener.pipe == INVALID_HANDLE_VALUE) return;
  // Every client connected now, one after another through the one instance.
  while (WaitForSingleObject(listener.connected, 0) == WAIT_OBJECT_0) {
    DWORD ignored = 0;
    const bool connected = GetOverlappedResult(listener.pipe, &listener.overlapped, &ignored, FALSE) ||
                           GetLastError() == ERROR_PIPE_CONNECTED;
    if (connected) {
      const Deadline deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
      std::string text;
      if (ReceiveText(listener.pipe, text, deadline)) {
        const std::string answer = reply(text);
        if (!answer.empty() && SendText(listener.pipe, answer, deadline))
          FlushFileBuffers(listener.pipe);
      }
    }
    DisconnectNamedPipe(listener.pipe);
    if (!AwaitClient()) break;
  }
}
