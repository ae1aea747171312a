#include "dialog.h"

#include "place_window.h"
#include "requests.h"
#include "shell_state.h"

Handle OpenDialog(const std::string& title, int width, int height, WindowKind kind,
                  int centringHeight) {
  Platform& p = *shell.platform;
  if (centringHeight <= 0) centringHeight = height;
  int x = (p.DesktopWidth() - width) / 2, y = (p.DesktopHeight() - centringHeight) / 2;
  if (shell.mainWindow != 0) {
    x = p.WindowX(shell.mainWindow) + (p.WindowWidth(shell.mainWindow) - width) / 2;
    y = p.WindowY(shell.mainWindow) + (p.WindowHeight(shell.mainWindow) - centringHeight) / 2;
  }
  PlaceWindow(p, shell.mainWindow, x, y, width, height);
  return p.OpenWindow(title, x, y, width, height, kind, shell.mainWindow);
}

DialogEnd RunDialog(Handle window, bool closable, const std::function<bool(const Event&)>& handle) {
  Platform& p = *shell.platform;
  for (;;) {
    const Event event = p.WaitEvent();
    if (TakeOutsideRequest(event)) return DialogEnd::Quit;
    if (event.id == EventId::WindowClose && event.source == window) {
      if (closable) return DialogEnd::Closed;
      continue;
    }
    if (handle(event)) return DialogEnd::Done;
  }
}
