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
  if (event.id == EventId::DescriptorReady && shell.startListener >= 0 &&
      event.data == shell.startListener) {
    for (const StartRequest& request : TakeStartRequests(shell.startListener)) {
      if (shell.mainWindow != 0) shell.platform->RaiseWindow(shell.mainWindow, request.activationToken);
      if (!request.openPath.empty()) shell.pendingOpens.push_back(request.openPath);
    }
    shell.platform->WatchDescriptor(shell.startListener);
    return false;
  }
  return TakeQuitRequest(event);
}

