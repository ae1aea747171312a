// Win32Platform: the message loop that fills the event queue, the waits,
// watched wait handles and the keys (see win32_platform.h).
#include <algorithm>

#include "win32_platform.h"

namespace {

// Polls let the message queue be looked at at most this often.
constexpr auto kGatherInterval = std::chrono::milliseconds(4);

bool IsInput(EventId id) {
  return id == EventId::MouseDown || id == EventId::MouseUp || id == EventId::MouseMove ||
         id == EventId::MouseWheel || id == EventId::GadgetAction;
}

}  // namespace

void Win32Platform::Post(const Event& event, bool endsProgram) {
  const Question& q = question_;
  if (q.window != 0 &&
      (event.source == q.window || event.source == q.yes || event.source == q.no)) {
    if (event.id == EventId::GadgetAction) question_.answer = event.source == q.yes ? 1 : 0;
    if (event.id == EventId::WindowClose) question_.answer = 0;
    return;  // the question's own events are not the program's
  }
  if (requesting_ && IsInput(event.id)) return;
  queue_.Post(event, endsProgram);
  if (requesting_ && (event.id == EventId::WindowClose || event.id == EventId::AppTerminate))
    CancelRequester();
}

// A handle that is signalled, abandoned or no longer valid is ready: the
// program finds out which when it looks at it.
void Win32Platform::CheckWatched(DWORD waitResult) {
  size_t index = 0;
  for (auto it = watched_.begin(); it != watched_.end(); index++) {
    const bool signalled =
        waitResult == WAIT_OBJECT_0 + index || waitResult == WAIT_ABANDONED_0 + index;
    const DWORD now =
        signalled ? WAIT_OBJECT_0 : WaitForSingleObject(reinterpret_cast<HANDLE>(it->first), 0);
    if (now == WAIT_TIMEOUT) {
      ++it;
      continue;
    }
    queue_.Post(Event{EventId::HandleReady, 0, it->second});
    it = watched_.erase(it);
  }
}

void Win32Platform::Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      Post(Event{EventId::AppTerminate, 0, 0});
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  CheckWatched(WAIT_TIMEOUT);
  lastGather_ = std::chrono::steady_clock::now();
}

// Blocks in the system's wait (no spinning) until a message or a watched
// handle is there, or `ms` have passed. A handle the wait found signalled
// is ready even where the wait reset it (an auto-reset event).
void Win32Platform::WaitForInput(DWORD ms) {
  std::vector<HANDLE> handles;
  for (const auto& [handle, tag] : watched_) handles.push_back(reinterpret_cast<HANDLE>(handle));
  const DWORD count =
      static_cast<DWORD>(std::min<size_t>(handles.size(), MAXIMUM_WAIT_OBJECTS - 1));
  const DWORD result =
      MsgWaitForMultipleObjectsEx(count, handles.data(), ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  if (result < WAIT_OBJECT_0 + count ||
      (result >= WAIT_ABANDONED_0 && result < WAIT_ABANDONED_0 + count) || result == WAIT_FAILED)
    CheckWatched(result);
}

Event Win32Platform::WaitEvent() {
  Event event;
  while (!queue_.Pop(event)) {
    WaitForInput(INFINITE);
    Pump();
  }
  return event;
}

// Reached once every kPollClockStride polls: a clock reading, and a look at
// the messages only when kGatherInterval has passed.
void Win32Platform::GatherInput() {
  if (std::chrono::steady_clock::now() - lastGather_ < kGatherInterval) return;
  Pump();
}

void Win32Platform::ProcessPending() { Pump(); }

// One event per readiness: once posted, the handle is not waited on until
// it is watched again.
void Win32Platform::WatchWaitHandle(WaitHandle handle, int tag) {
  if (handle == 0 || handle == -1) return;
  if (watched_.count(handle) == 0 && watched_.size() >= MAXIMUM_WAIT_OBJECTS - 1) return;
  watched_[handle] = tag;
}

// Messages are dispatched as they come (they only queue events); the wait
// ends at once when one of them asks for the end.
bool Win32Platform::SleepUnless(int ms, bool (*ends)(const Event&)) {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(ms, 0));
  for (;;) {
    Pump();
    if (queue_.EndRequested() || (ends != nullptr && queue_.Contains(ends))) return true;
    const auto left = deadline - std::chrono::steady_clock::now();
    if (left <= std::chrono::steady_clock::duration::zero()) return false;
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    WaitForInput(static_cast<DWORD>(wait));
  }
}

// Held keys repeat; only a real press counts. Keys with Alt are the window
// system's (Alt+F4, the window menu) and pass.
bool Win32Platform::TakeKey(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_KEYDOWN && message != WM_KEYUP && message != WM_CHAR && message != WM_DEADCHAR)
    return false;
  if (message == WM_KEYDOWN && (lParam & (1 << 30)) == 0) {
    Item* window = Find(HandleOf(GetAncestor(hwnd, GA_ROOT)), Kind::Window);
    if (window == nullptr) return true;
    if (wParam == VK_ESCAPE && window->windowKind == WindowKind::Fixed && !window->escapePosted) {
      window->escapePosted = true;
      Post(Event{EventId::WindowClose, window->window, 0}, window->owner == 0);
    } else if (wParam == VK_RETURN && Find(window->defaultButton, Kind::Button) != nullptr) {
      Post(Event{EventId::GadgetAction, window->defaultButton, 0});
    }
  }
  return true;
}

// Whole notches of WHEEL_DELTA (positive away from the user); the remainder
// of a high-resolution wheel waits for the next turn.
int Win32Platform::TakeWheel(int& remainder, WPARAM wParam) {
  remainder += GET_WHEEL_DELTA_WPARAM(wParam);
  const int notches = remainder / WHEEL_DELTA;
  remainder -= notches * WHEEL_DELTA;
  return notches;
}
