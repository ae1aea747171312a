// A fixture that runs the window program on the scripted platform in a
// temporary working directory. Modal dialogs take their events from
// `actions`, which the platform's idle handler runs one at a time whenever
// the queue is empty; a dialog that waits with no action left fails the
// test instead of hanging.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <sstream>

#include "board_view.h"
#include "config_file.h"
#include "engine_state.h"
#include "game_file.h"
#include "notation.h"
#include "position.h"
#include "storage_error.h"
#include "fresh_folder.h"
#include "script_platform.h"
#include "search.h"
#include "shell_state.h"
#include "think.h"
#include "startup.h"
#include "event_loop.h"

namespace fs = std::filesystem;

// Square index of a name such as "e2".
inline int Sq(const char* name) { return 22 + 10 * (name[1] - '1') + (name[0] - 'a'); }

// A modal loop waited with nothing left to do.
struct ScriptRanOut : std::runtime_error {
  ScriptRanOut() : std::runtime_error("a dialog waited with no scripted action left") {}
};

// A new, empty folder of the test's own in the system's temporary folder.

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    oldDir_ = fs::current_path();
    dir_ = FreshFolder("korvin-program-");
    ASSERT_FALSE(dir_.empty());
    fs::current_path(dir_);
    Prepare(p);
  }

  void TearDown() override {
    // No call on a destroyed window, no drawing without a target.
    for (const std::string& misuse : p.Misuses()) ADD_FAILURE() << misuse;
    searchPollHook = nullptr;
    refreshBoardHook = nullptr;
    showResultHook = nullptr;
    SetWindowGeometrySource(nullptr);
    fs::current_path(oldDir_);
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  // A fresh process: zero settings, fake pictures, the idle script.
  void Prepare(ScriptPlatform& platform) {
    settings = Settings{};
    platform.SetDesktopSize(1920, 1080);
    platform.SetFakePictureSize(10, 10);
    platform.SetIdleHandler([this](ScriptPlatform&) {
      if (actions.empty()) {
        if (++idleWithoutAction_ > 20) throw ScriptRanOut();
        return;
      }
      idleWithoutAction_ = 0;
      auto action = std::move(actions.front());
      actions.pop_front();
      action();
    });
  }

 public:
  // Settings file: position, size, orientation, level, welcome switch.
  static void WriteConfig(int x, int y, int w, int h, int black, int level, int hide) {
    const int values[7] = {x, y, w, h, black, level, hide};
    std::ofstream out("korvin.cfg", std::ios::binary);
    for (int v : values)
      for (int b = 0; b < 4; b++) out.put(static_cast<char>((static_cast<unsigned>(v) >> (8 * b)) & 255));
  }
  static void WriteBytes(const std::string& path, const std::vector<int>& bytes) {
    std::ofstream out(path, std::ios::binary);
    for (int b : bytes) out.put(static_cast<char>(b));
  }
  static std::vector<int> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<int> bytes;
    for (int c; (c = in.get()) != EOF;) bytes.push_back(c);
    return bytes;
  }
  // A game file of the given moves ("e2e4 e7e5"), written before start-up.
  static void WriteGame(const std::string& path, const std::string& moves, int black = 0) {
    StartEngine(1);
    std::istringstream in(moves);
    std::string move, error;
    while (in >> move) ASSERT_TRUE(PlayMoveText(move, error)) << move << ": " << error;
    settings.humanPlaysBlack = black;
    ASSERT_TRUE(SaveGame(path.c_str())) << StorageError();
    settings = Settings{};
  }
 protected:
  // Copies the shipped pictures (and book, if any) into the working folder
  // and switches the fake pictures off.
  void UseRealAssets(ScriptPlatform& platform) {
    for (const auto& entry : fs::directory_iterator(KORVIN_ASSET_DIR))
      fs::copy_file(entry.path(), dir_ / entry.path().filename(),
                    fs::copy_options::overwrite_existing);
    platform.SetFakePictureSize(0, 0);
  }

  // The usual start: a 400 x 400 window (squares of 50), Novice, no welcome.
  void StartPlain(int black = 0) {
    WriteConfig(100, 100, 400, 400, black, 1, 1);
    ASSERT_TRUE(StartUp(p));
  }

  // Handles main-loop events until the queue is empty or the program ended.
  void Pump() {
    while (!ended && p.QueuedEvents() > 0)
      if (!HandleEvent(p.WaitEvent())) ended = true;
  }

  // Centre of a square's cell in canvas pixels.
  void PointAt(int square, int& x, int& y) const {
    const int s = shell.squareSize, f = (square - 22) % 10, r = (square - 22) / 10;
    if (settings.humanPlaysBlack == 0) {
      x = f * s + s / 2;
      y = (7 - r) * s + s / 2;
    } else {
      x = (7 - f) * s + s / 2;
      y = r * s + s / 2;
    }
  }
  void ClickAt(int x, int y) {
    p.SetPointer(shell.boardCanvas, x, y);
    p.PushEvent(EventId::MouseDown, shell.boardCanvas, 1);
    Pump();
  }
  void Click(int square) {
    int x, y;
    PointAt(square, x, y);
    ClickAt(x, y);
  }
  void Move(const char* from, const char* to) {
    Click(Sq(from));
    Click(Sq(to));
  }
  void Wheel(int notches) {
    p.PushEvent(EventId::MouseWheel, shell.boardCanvas, notches);
    Pump();
  }
  void Close() {
    p.PushEvent(EventId::WindowClose, shell.mainWindow);
    Pump();
  }

  // An action that clicks the widget with this text in the newest window
  // with this title.
  std::function<void()> Press(const std::string& title, const std::string& text,
                              WidgetKind kind = WidgetKind::Button) {
    return [this, title, text, kind] {
      const ScriptWindow* w = p.FindWindowByTitle(title);
      ASSERT_NE(w, nullptr) << title;
      const Handle widget = p.FindWidgetByText(w->handle, text, kind);
      ASSERT_NE(widget, 0) << text;
      p.ClickWidget(widget);
    };
  }
  // Opens "Options" and presses one of its buttons.
  void Options(const std::string& button) {
    actions.push_back(Press("Options", button));
    p.PushEvent(EventId::MouseDown, shell.boardCanvas, 2);
    Pump();
  }

  // The last frame presented on the board canvas.
  const Frame& LastBoardFrame() const {
    for (auto it = p.Frames().rbegin(); it != p.Frames().rend(); ++it)
      if (it->canvas == shell.boardCanvas && !it->calls.empty()) return *it;
    static const Frame none;
    return none;
  }
  // Calls of a frame that draw a given picture at a cell-relative point.
  static std::vector<DrawCall> CallsOf(const Frame& frame, const std::string& picture) {
    std::vector<DrawCall> found;
    for (const DrawCall& c : frame.calls)
      if (c.name == picture) found.push_back(c);
    return found;
  }
  int CountWindows(const std::string& title) const {
    int n = 0;
    for (const ScriptWindow& w : p.Windows()) n += w.title == title;
    return n;
  }
  // The texts of a window's labels, top to bottom.
  std::vector<std::string> LinesOf(const ScriptWindow& window) const {
    std::vector<std::string> lines;
    for (const ScriptWidget* w : p.WidgetsOf(window.handle))
      if (w->kind == WidgetKind::Label) lines.push_back(w->text);
    return lines;
  }
  // The texts of the message windows shown so far, one string each with a
  // line break after every line.
  std::vector<std::string> Messages() const {
    std::vector<std::string> found;
    for (const ScriptWindow& w : p.Windows()) {
      const bool welcome = p.FindWidgetByText(w.handle, "Don't show this message again.",
                                              WidgetKind::CheckBox) != 0;
      const bool ok = p.FindWidgetByText(w.handle, "OK", WidgetKind::Button) != 0;
      if (w.title != "Korvin 4" || welcome || !ok) continue;
      std::string text;
      for (const std::string& line : LinesOf(w)) text += line + "\n";
      found.push_back(text);
    }
    return found;
  }
  // An action that clicks a square of the board, as the user would.
  std::function<void()> ClickAction(const char* square) {
    return [this, square] {
      int x, y;
      PointAt(Sq(square), x, y);
      p.SetPointer(shell.boardCanvas, x, y);
      p.PushEvent(EventId::MouseDown, shell.boardCanvas, 1);
    };
  }

  ScriptPlatform p;
  std::deque<std::function<void()>> actions;
  bool ended = false;
  fs::path dir_;

 private:
  fs::path oldDir_;
  int idleWithoutAction_ = 0;
};
