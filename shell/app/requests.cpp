#include "requests.h"

#include "shell_state.h"
#include "start_request.h"

bool IsQuitRequest(const Event& event) {
  if (event.id == EventId::AppTerminate) return true;
  return event.id == EventId::WindowClose && shell.mainWindow != 0 &&
         event.source == shell.mainWindow;
}

bool TakeQuitRequest(const Event& event) {
  if (!IsQuitRequest(event)) return false;
  shell.quitRequested = true;
  return true;
}

bool TakeOutsideRequest(const Event& event) {
  if (event.id == EventId::HandleReady && shell.startListener >= 0 &&
      event.data == kLaterStartTag) {
    for (const StartRequest& request : TakeStartRequests()) {
      if (shell.mainWindow != 0) shell.platform->RaiseWindow(shell.mainWindow, request.activationToken);
      if (!request.openPath.empty()) shell.pendingOpens.push_back(request.openPath);
    }
    shell.platform->WatchWaitHandle(shell.startListener, kLaterStartTag);
    return false;
  }
  return TakeQuitRequest(event);
}

