#include "welcome_dialog.h"

#include <string>
#include <vector>

#include "config_file.h"
#include "dialog.h"
#include "shell_state.h"
#include "message_window.h"
#include "texts.h"

void ShowWelcome() {
  // TRANSLATORS: seven lines, each shown in a label as wide as the longest
  // English line; break the lines where they fit.
  const std::vector<std::string> lines = Lines(Tr(
      "This version is a bit different from the other Korvin games. It's just about\n"
      "playing chess and nothing else. To make moves, click on the source and\n"
      "destination field separately. Scroll the mouse wheel to navigate through\n"
      "the movelist, press it to jump to the beginning or end of the game. Right\n"
      "click to display the menu. The window size can be adjusted by dragging\n"
      "the window edges. Old games from previous Korvin versions cannot be\n"
      "loaded due to format changes. The Hash Table size is set to max 100 MB."));
  Platform& p = *shell.platform;
  // Centred with 285 for its height, so it sits a little above the middle.
  const Handle window = OpenDialog("Korvin 4", 432, 325, WindowKind::Fixed, 285);
  p.AddLabel(window, 25, 40, 382, 18, Tr("Welcome to Korvin 4!"), LabelKind::Plain);
  for (size_t k = 0; k < 7 && k < lines.size(); k++)
    p.AddLabel(window, 25, 70 + 20 * static_cast<int>(k), 382, 18, lines[k], LabelKind::Plain);
  const Handle box = p.AddCheckBox(window, 25, 220, 200, 25, Tr("Don't show this message again."));
  const Handle ok = p.AddButton(window, 166, 270, 100, 25, Tr("OK"));
  p.SetDefaultButton(ok);
  // The end of the session ends the dialog as well; start-up then stops.
  RunDialog(window, true, [&p, box, ok](const Event& e) {
    if (e.id != EventId::GadgetAction) return false;
    if (e.source == box) settings.hideWelcome = p.CheckBoxState(box);
    return e.source == ok;
  });
  p.DestroyWindow(window);
}
