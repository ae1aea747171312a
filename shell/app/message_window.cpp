#include "dialogs.h"
#include "shell_state.h"

void ShowMessage(const std::string& line1, const std::string& line2) {
  Platform& p = *shell.platform;
  const int w = 420, h = 110;
  int x = (p.DesktopWidth() - w) / 2, y = (p.DesktopHeight() - h) / 2;
  if (shell.mainWindow != 0) {
    x = p.WindowX(shell.mainWindow) + (p.WindowWidth(shell.mainWindow) - w) / 2;
    y = p.WindowY(shell.mainWindow) + (p.WindowHeight(shell.mainWindow) - h) / 2;
  }
  const Handle window = p.OpenWindow("Korvin 4", x, y, w, h, WindowKind::Fixed);
  p.AddLabel(window, 20, 15, w - 40, 18, line1, LabelKind::Plain);
  p.AddLabel(window, 20, 37, w - 40, 18, line2, LabelKind::Plain);
  const Handle ok = p.AddButton(window, (w - 100) / 2, 70, 100, 25, "OK");
  p.SetFocus(ok);
  for (;;) {
    const Event event = p.WaitEvent();
    if (event.id == EventId::WindowClose || event.id == EventId::AppTerminate) break;
    if (event.id == EventId::GadgetAction && event.source == ok) break;
  }
  p.DestroyWindow(window);
  if (shell.boardCanvas != 0) RestoreBoardTarget();
}
