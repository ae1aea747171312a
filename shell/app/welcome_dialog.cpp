#include "welcome_dialog.h"

#include "config_file.h"
#include "dialog.h"
#include "shell_state.h"

void ShowWelcome() {
  static const char* const kLines[8] = {
      "This version is a bit different from the other Korvin games. It's just about",
      "playing chess and nothing else. To make moves, click on the source and",
      "destination field separately. Scroll the mouse wheel to navigate through",
      "the movelist, press it to jump to the beginning or end of the game. Right",
      "click to display the menu. The window size can be adjusted by dragging",
      "the window edges. Old games from previous Korvin versions cannot be",
      "loaded due to format changes. The Hash Table size is set to max 100 MB.",
      ""};
  Platform& p = *shell.platform;
  // Centred with 285 for its height, so it sits a little above the middle.
  const Handle window = OpenDialog("Korvin 4", 432, 325, WindowKind::Fixed, 285);
  p.AddLabel(window, 25, 40, 382, 18, "Welcome to Korvin 4!", LabelKind::Plain);
  for (int k = 0; k < 7; k++) p.AddLabel(window, 25, 70 + 20 * k, 382, 18, kLines[k], LabelKind::Plain);
  const Handle box = p.AddCheckBox(window, 25, 220, 200, 25, "Don't show this message again.");
  const Handle ok = p.AddButton(window, 166, 270, 100, 25, "OK");
  p.SetDefaultButton(ok);
  // The end of the session ends the dialog as well; start-up then stops.
  RunDialog(window, true, [&p, box, ok](const Event& e) {
    if (e.id != EventId::GadgetAction) return false;
    if (e.source == box) settings.hideWelcome = p.CheckBoxState(box);
    return e.source == ok;
  });
  p.DestroyWindow(window);
}
