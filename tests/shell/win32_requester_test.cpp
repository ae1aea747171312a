// The file requester on Win32: chosen, cancelled by a close request of the
// main window, and its question whether to replace a file. What the user
// would do is done by thread timers, which fire inside the requester's own
// message loop.
#include <shlobj.h>

#include "test_images.h"
#include "win32_test_support.h"
#include "win32_text.h"

namespace {

// What the timers act on (a timer procedure gets no context of its own).
struct Script {
  Win32Platform* platform = nullptr;
  HWND closeTarget = nullptr;  // gets a close request at the question, or at once
  bool answerYes = false;      // at the question: "Yes" instead of the close request
  bool sawRequester = false, sawQuestion = false, ownerEnabled = false;
  HWND owner = nullptr;
  std::wstring questionText;
};
Script script;

bool IsQuestion(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return std::wstring(name) == L"Korvin4Window";
}

// Collects the texts of the question's labels.
BOOL CALLBACK ReadLabel(HWND child, LPARAM) {
  wchar_t name[32] = {}, text[256] = {};
  GetClassNameW(child, name, 32);
  GetWindowTextW(child, text, 256);
  if (std::wstring(name) == L"Static") script.questionText += std::wstring(text) + L"\n";
  return TRUE;
}

// The system's dialog is confirmed with the name it was opened with; the
// question is answered as the script says.
void CALLBACK ConfirmThenAnswer(HWND, UINT, UINT_PTR, DWORD) {
  HWND open = script.platform->OpenRequester();
  if (open == nullptr) return;
  if (!IsQuestion(open)) {
    if (script.sawRequester) return;
    script.sawRequester = true;
    script.ownerEnabled = IsWindowEnabled(script.owner) != FALSE;
    PostMessageW(open, WM_COMMAND, IDOK, 0);
    return;
  }
  if (script.sawQuestion) return;
  script.sawQuestion = true;
  EnumChildWindows(open, ReadLabel, 0);
  if (script.answerYes)
    PostMessageW(FindWindowExW(open, nullptr, L"Button", L"Yes"), BM_CLICK, 0, 0);
  else
    PostMessageW(script.closeTarget, WM_CLOSE, 0, 0);
}

// A close request as soon as the requester is up.
void CALLBACK CloseWhenOpen(HWND, UINT, UINT_PTR, DWORD) {
  HWND open = script.platform->OpenRequester();
  if (open == nullptr || script.sawRequester) return;
  script.sawRequester = true;
  script.ownerEnabled = IsWindowEnabled(script.owner) != FALSE;
  PostMessageW(script.closeTarget, WM_CLOSE, 0, 0);
}

// Cancels any requester that appears (one that should not have).
void CALLBACK CancelAny(HWND, UINT, UINT_PTR, DWORD) {
  HWND open = script.platform->OpenRequester();
  if (open == nullptr) return;
  script.sawRequester = true;
  PostMessageW(open, WM_COMMAND, IDCANCEL, 0);
}

class Win32Requester : public Win32Test {
 protected:
  void SetUp() override {
    main = platform.OpenWindow("Korvin 4", 40, 50, 300, 300, WindowKind::Resizable, 0);
    options = platform.OpenWindow("Options", 60, 70, 200, 150, WindowKind::Fixed, main);
    Drain();
    script = Script{};
    script.platform = &platform;
    script.closeTarget = Hwnd(main);
    script.owner = Hwnd(options);
  }
  void TearDown() override {
    if (timer_ != 0) KillTimer(nullptr, timer_);
  }
  void Every50ms(TIMERPROC proc) { timer_ = SetTimer(nullptr, 0, 50, proc); }
  std::string Ask(bool save, const std::string& start) {
    return platform.RequestFile(save ? "Save Game" : "Load Game",
                                {{"Games", "kga pgn"}, {"Korvin game", "kga"}}, save, start,
                                options);
  }
  Handle main = 0, options = 0;
  UINT_PTR timer_ = 0;
};

TEST_F(Win32Requester, StartsInTheDocumentsFolder) {
  PWSTR documents = nullptr;
  ASSERT_TRUE(SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &documents)));
  EXPECT_EQ(platform.RequesterFolder(), Utf8FromWide(documents));
  CoTaskMemFree(documents);
}

TEST_F(Win32Requester, CloseRequestOfTheMainWindowCancelsIt) {
  Every50ms(CloseWhenOpen);
  EXPECT_EQ(Ask(false, ""), "");
  EXPECT_TRUE(script.sawRequester);
  EXPECT_TRUE(script.ownerEnabled);  // the system disabled it; the platform did not leave it so
  EXPECT_EQ(platform.OpenRequester(), nullptr);
  EXPECT_TRUE(platform.EndRequested());
  EXPECT_EQ(CountOf(Drain(), EventId::WindowClose, main), 1);  // the request stayed queued
}

TEST_F(Win32Requester, AnEndAlreadyRequestedOpensNothing) {
  PostMessageW(Hwnd(main), WM_CLOSE, 0, 0);
  platform.ProcessPending();  // the request is queued
  ASSERT_TRUE(platform.EndRequested());
  Every50ms(CancelAny);
  EXPECT_EQ(Ask(true, ""), "");
  EXPECT_FALSE(script.sawRequester);
}

TEST_F(Win32Requester, ChosenNameGetsTheExtensionOfTheKind) {
  const std::string folder = ScratchPath("");
  Every50ms(ConfirmThenAnswer);
  const std::string chosen = Ask(true, folder + "newgame");
  EXPECT_EQ(chosen, folder + "newgame.kga");
  EXPECT_FALSE(script.sawQuestion);                      // no such file yet: nothing to ask
  EXPECT_EQ(platform.RequesterFolder() + "\\", folder);  // the next one starts there
}

TEST_F(Win32Requester, ReplacingAFileIsAskedAndACloseRequestSaysNo) {
  const std::string existing = ScratchPath("kept.kga");
  WriteBytes(existing, {1, 2, 3});
  Every50ms(ConfirmThenAnswer);
  EXPECT_EQ(Ask(true, existing), "");
  EXPECT_TRUE(script.sawQuestion);
  EXPECT_NE(script.questionText.find(L"kept.kga already exists."), std::wstring::npos);
  EXPECT_EQ(platform.OpenRequester(), nullptr);
  EXPECT_TRUE(platform.EndRequested());
  EXPECT_EQ(ReadBytes(existing), (std::vector<uint8_t>{1, 2, 3}));
}

TEST_F(Win32Requester, ReplacingAFileAnsweredYes) {
  const std::string existing = ScratchPath("replace.kga");
  WriteBytes(existing, {1});
  script.answerYes = true;
  Every50ms(ConfirmThenAnswer);
  EXPECT_EQ(Ask(true, existing), existing);
  EXPECT_TRUE(script.sawQuestion);
  EXPECT_FALSE(platform.EndRequested());
  // The program's mouse input meanwhile was dropped; nothing is queued.
  EXPECT_TRUE(Drain().empty());
}

}  // namespace
