#include <windows.h>

#include <algorithm>

#include "uci_child.h"

namespace {

std::wstring Wide(const std::string& text) {
  if (text.empty()) return L"";
  const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

void CloseIfOpen(HANDLE& h) {
  if (h != nullptr) CloseHandle(h);
  h = nullptr;
}

}  // namespace

struct UciChild::Process {
  HANDLE process = nullptr;
  HANDLE toChild = nullptr, fromChild = nullptr;
};

// The child inherits only its own ends of the two pipes: the parent's ends
// are not inheritable, and the child's are closed here once it has them, so
// that an engine started later holds no end of an earlier engine's pipes.
UciChild::UciChild(const std::string& path, const std::vector<std::string>& args,
                   const std::string& workDir)
    : process_(std::make_unique<Process>()) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE childIn = nullptr, childOut = nullptr;
  if (!CreatePipe(&childIn, &process_->toChild, &inherit, 1 << 16)) return;
  if (!CreatePipe(&process_->fromChild, &childOut, &inherit, 1 << 16)) {
    CloseHandle(childIn);
    CloseIfOpen(process_->toChild);
    return;
  }
  SetHandleInformation(process_->toChild, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(process_->fromChild, HANDLE_FLAG_INHERIT, 0);

  std::wstring commandLine = L"\"" + Wide(path) + L"\"";
  for (const std::string& a : args) commandLine += L" \"" + Wide(a) + L"\"";
  const std::wstring folder = Wide(workDir);
  STARTUPINFOW start{};
  start.cb = sizeof(start);
  start.dwFlags = STARTF_USESTDHANDLES;
  start.hStdInput = childIn;
  start.hStdOutput = childOut;
  start.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION info{};
  if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                     folder.empty() ? nullptr : folder.c_str(), &start, &info)) {
    process_->process = info.hProcess;
    CloseHandle(info.hThread);
  }
  CloseHandle(childIn);
  CloseHandle(childOut);
}

UciChild::~UciChild() {
  Process& p = *process_;
  CloseIfOpen(p.toChild);
  if (p.process != nullptr && status_ == -2) {
    TerminateProcess(p.process, 1);
    WaitForSingleObject(p.process, INFINITE);
  }
  CloseIfOpen(p.process);
  CloseIfOpen(p.fromChild);
}

void UciChild::SendRaw(const std::string& bytes) {
  size_t done = 0;
  while (process_->toChild != nullptr && done < bytes.size()) {
    DWORD n = 0;
    const DWORD ask = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 16));
    if (!WriteFile(process_->toChild, bytes.data() + done, ask, &n, nullptr) || n == 0) return;
    done += n;
  }
}

void UciChild::CloseInput() { CloseIfOpen(process_->toChild); }

// A pipe cannot be waited on for data, so it is looked at every millisecond.
void UciChild::ReadOutput(int timeoutMs) {
  const long long deadline = NowMs() + timeoutMs;
  for (;;) {
    DWORD available = 0;
    if (process_->fromChild == nullptr ||
        !PeekNamedPipe(process_->fromChild, nullptr, 0, nullptr, &available, nullptr)) {
      ended_ = true;  // every writer has gone
      return;
    }
    if (available > 0) break;
    if (NowMs() >= deadline) return;
    Sleep(1);
  }
  char chunk[4096];
  DWORD n = 0;
  if (!ReadFile(process_->fromChild, chunk, sizeof(chunk), &n, nullptr) || n == 0) {
    ended_ = true;
    return;
  }
  buffer_.append(chunk, n);
}

int UciChild::WaitExit(int timeoutMs) {
  if (status_ != -2) return status_;
  if (process_->process == nullptr) return status_ = -1;
  if (WaitForSingleObject(process_->process, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) {
    TerminateProcess(process_->process, 1);
    WaitForSingleObject(process_->process, INFINITE);
    return status_ = -1;
  }
  DWORD code = 0;
  GetExitCodeProcess(process_->process, &code);
  return status_ = static_cast<int>(code);
}
