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

KeptGameWrite WriteKeptGame() {
  KeptGameWrite write;
  if (shell.keptGame.state == KeptGameState::NotRead) return write;
  const KeptGameSave save = SaveKeptGame(kKeptGamePath, shell.keptGame);
  if (!save.foundKeptAs.empty()) write.found = FoundFileLines(save.foundKeptAs);
  if (!save.saved) {
    write.failure = save.error;
    std::fprintf(stderr, "korvin4: cannot save %s: %s\n", kKeptGamePath, save.error.c_str());
  }
  return write;
}

void KeepGameNow() {
  const KeptGameWrite write = WriteKeptGame();
  shell.keptGameNews.insert(shell.keptGameNews.end(), write.found.begin(), write.found.end());
  if (write.failure.empty()) {
    shell.keptGameFailureShown = false;
    return;
  }
  if (shell.keptGameFailureShown) return;
  shell.keptGameFailureShown = true;
  shell.keptGameNews.push_back(
      Fill(Tr("Your game could not be saved to \"%1\":"), {FullPath(kKeptGamePath)}));
  shell.keptGameNews.push_back(Sentence(write.failure));
  shell.keptGameNews.push_back(Tr("Korvin 4 tries again after every move and when it closes."));
}

void ShowKeptGameNews() {
  if (shell.keptGameNews.empty() || shell.quitRequested) return;
  const std::vector<std::string> lines = std::move(shell.keptGameNews);
  shell.keptGameNews.clear();
  ShowMessage(lines);
}
