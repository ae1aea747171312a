#include "keep_game.h"

#include <cstdio>

#include "kept_game.h"
#include "shell_state.h"
#include "message_window.h"
#include "texts.h"

std::vector<std::string> FoundFileLines(const std::string& keptAs) {
  return Lines(Fill(Tr("Another file named \"%1\" appeared while\n"
                       "Korvin 4 was running; Korvin 4 did not write it. It was kept as\n"
                       "\"%2\", and your game is saved under the usual name."),
                    {FullPath(kKeptGamePath), FullPath(keptAs)}));
}

void KeepGameNow() {
  const KeptGameSave save = SaveKeptGame(kKeptGamePath, shell.keptGame);
  if (!save.foundKeptAs.empty()) {
    std::vector<std::string> lines = FoundFileLines(save.foundKeptAs);
    shell.keptGameNews.insert(shell.keptGameNews.end(), lines.begin(), lines.end());
  }
  if (save.saved) {
    shell.keptGameFailureShown = false;
    return;
  }
  std::fprintf(stderr, "korvin4: cannot save %s: %s\n", kKeptGamePath, save.error.c_str());
  if (shell.keptGameFailureShown) return;
  shell.keptGameFailureShown = true;
  shell.keptGameNews.push_back(
      Fill(Tr("Your game could not be saved to \"%1\":"), {FullPath(kKeptGamePath)}));
  shell.keptGameNews.push_back(Sentence(save.error));
  shell.keptGameNews.push_back(Tr("Korvin 4 tries again after every move and when it closes."));
}

void ShowKeptGameNews() {
  if (shell.keptGameNews.empty() || shell.quitRequested) return;
  const std::vector<std::string> lines = std::move(shell.keptGameNews);
  shell.keptGameNews.clear();
  ShowMessage(lines);
}
