// Win32Platform: the file requester and its question whether to replace a
// file (see win32_platform.h).
//
// The system's file dialog is modal: it runs a message loop of its own and
// disables its owner. So that a close request of the main window, or the
// end of the session, still ends it as its Cancel button would, it runs with
// a hook: once it is up, the hook enables the owner again (the dialog stays
// owned by it, above it) and looks at the end flag, the queue and the
// watched handles on a timer; the program's windows keep their window
// procedures meanwhile, which queue a close request and then cancel the
// dialog (Post). Input meant for the program's windows is dropped while it
// is open. The question is the platform's own small window, not the
// system's modal prompt, for the same reason: a close request or the end
// flag answers it "no".
#include <windows.h>

#include <commdlg.h>
#include <shlobj.h>

#include "texts.h"
#include "win32_platform.h"
#include "win32_text.h"

namespace {

constexpr UINT_PTR kRequesterTimer = 1;
constexpr UINT kRequesterTimerMs = 50;

// What the hook needs while the dialog is up.
struct RequestState {
  Win32Platform* platform;
  HWND owner;
  const std::vector<std::wstring>* extensions;  // the default of each filter
};

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring NameOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  std::wstring folder;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path)) && path != nullptr) folder = path;
  CoTaskMemFree(path);
  return folder;
}

// "Korvin game (*.kga)" and "*.kga", or "Games (*.kga;*.pgn)" and
// "*.kga;*.pgn", then "All files (*.*)": names and patterns apart by NULs.
std::wstring FilterText(const std::vector<FileFilter>& filters,
                        std::vector<std::wstring>& extensions) {
  std::wstring text;
  for (const FileFilter& filter : filters) {
    std::wstring patterns, first;
    const std::wstring kinds = WideFromUtf8(filter.extension);
    size_t at = 0;
    while (at < kinds.size()) {
      const size_t end = std::min(kinds.find(L' ', at), kinds.size());
      if (end > at) {
        const std::wstring kind = kinds.substr(at, end - at);
        if (first.empty()) first = kind;
        patterns += (patterns.empty() ? L"*." : L";*.") + kind;
      }
      at = end + 1;
    }
    if (patterns.empty()) continue;
    extensions.push_back(first);
    text += WideFromUtf8(filter.name) + L" (" + patterns + L")";
    text.push_back(L'\0');
    text += patterns;
    text.push_back(L'\0');
  }
  extensions.push_back(L"");
  text += WideFromUtf8(Tr("All files")) + L" (*.*)";
  text.push_back(L'\0');
  text += L"*.*";
  text.push_back(L'\0');
  return text;
}

}  // namespace

// The documents folder, else the profile folder; after a choice, the folder
// of the chosen file.
std::string Win32Platform::RequesterFolder() const {
  if (!lastFolder_.empty() && IsFolder(lastFolder_)) return Utf8FromWide(lastFolder_);
  const std::wstring documents = KnownFolder(FOLDERID_Documents);
  if (!documents.empty() && IsFolder(documents)) return Utf8FromWide(documents);
  return Utf8FromWide(KnownFolder(FOLDERID_Profile));
}

HWND Win32Platform::OpenRequester() const {
  if (requester_ != nullptr) return requester_;
  return question_.window != 0 ? WindowOf(question_.window) : nullptr;
}

// A request to end the program, already made or queued, or a close request
// of any of the program's windows.
bool Win32Platform::RequesterEnds() const {
  return queue_.EndRequested() || queue_.Contains([](const Event& e) {
    return e.id == EventId::AppTerminate || e.id == EventId::WindowClose;
  });
}

void Win32Platform::CancelRequester() {
  if (requester_ != nullptr) PostMessageW(requester_, WM_COMMAND, IDCANCEL, 0);
  if (question_.window != 0) question_.answer = 0;
}

UINT_PTR CALLBACK Win32Platform::RequesterHook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    const auto* request = reinterpret_cast<const OPENFILENAMEW*>(lParam);
    SetWindowLongPtrW(hook, GWLP_USERDATA, static_cast<LONG_PTR>(request->lCustData));
    return TRUE;
  }
  auto* state = reinterpret_cast<RequestState*>(GetWindowLongPtrW(hook, GWLP_USERDATA));
  if (state == nullptr) return 0;
  Win32Platform& self = *state->platform;
  HWND dialog = GetParent(hook);
  switch (message) {
    case WM_NOTIFY: {
      const auto* notice = reinterpret_cast<const OFNOTIFYW*>(lParam);
      if (notice->hdr.code == CDN_INITDONE) {
        self.requester_ = dialog;
        if (state->owner != nullptr) EnableWindow(state->owner, TRUE);
        SetTimer(hook, kRequesterTimer, kRequesterTimerMs, nullptr);
        if (self.RequesterEnds()) self.CancelRequester();
      } else if (notice->hdr.code == CDN_TYPECHANGE) {
        // A name typed without an extension gets the chosen kind's.
        const size_t k = notice->lpOFN->nFilterIndex;
        const std::wstring& extension =
            k >= 1 && k <= state->extensions->size() ? (*state->extensions)[k - 1] : std::wstring();
        SendMessageW(dialog, CDM_SETDEFEXT, 0, reinterpret_cast<LPARAM>(extension.c_str()));
      }
      return 0;
    }
    case WM_TIMER:
      self.CheckWatched(WAIT_TIMEOUT);
      if (self.RequesterEnds()) self.CancelRequester();
      return 0;
    case WM_DESTROY:
      KillTimer(hook, kRequesterTimer);
      self.requester_ = nullptr;
      return 0;
    default: return 0;
  }
}

// One showing of the system's dialog: the chosen path, or "" on cancel.
std::string Win32Platform::RunRequester(const std::wstring& title,
                                        const std::vector<FileFilter>& filters, bool save,
                                        const std::wstring& start, HWND owner) {
  std::vector<std::wstring> extensions;
  const std::wstring filterText = FilterText(filters, extensions);
  std::vector<wchar_t> name(32768, L'\0');
  std::wstring folder = start;
  if (!start.empty() && !IsFolder(start)) {
    folder = FolderOf(start);
    const std::wstring file = NameOf(start);
    std::copy(file.begin(), file.begin() + std::min(file.size(), name.size() - 1), name.begin());
  }
  RequestState state{this, owner, &extensions};
  OPENFILENAMEW request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = owner;
  request.lpstrFilter = filterText.c_str();
  request.nFilterIndex = 1;
  request.lpstrFile = name.data();
  request.nMaxFile = static_cast<DWORD>(name.size());
  request.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  request.lpstrTitle = title.c_str();
  request.lpstrDefExt = save && !extensions.front().empty() ? extensions.front().c_str() : nullptr;
  request.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING | OFN_HIDEREADONLY |
                  OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | (save ? 0 : OFN_FILEMUSTEXIST);
  request.lCustData = reinterpret_cast<LPARAM>(&state);
  request.lpfnHook = RequesterHook;
  const BOOL chosen = save ? GetSaveFileNameW(&request) : GetOpenFileNameW(&request);
  requester_ = nullptr;
  return chosen ? Utf8FromWide(name.data()) : std::string();
}

std::string Win32Platform::RequestFile(const std::string& title,
                                       const std::vector<FileFilter>& filters, bool save,
                                       const std::string& initialPath, Handle owner) {
  const Item* ownerItem = Find(owner, Kind::Window);
  HWND ownerHwnd = ownerItem != nullptr ? ownerItem->hwnd : nullptr;
  const std::wstring wideTitle = WideFromUtf8(title);
  std::wstring start = WideFromUtf8(initialPath.empty() ? RequesterFolder() : initialPath);
  std::string chosen;
  requesting_ = true;
  while (!RequesterEnds()) {
    const std::string path = RunRequester(wideTitle, filters, save, start, ownerHwnd);
    if (path.empty() || RequesterEnds()) break;
    const std::wstring widePath = WideFromUtf8(path);
    if (!save || !IsFile(widePath) || AskReplace(widePath, wideTitle, owner)) {
      chosen = path;
      lastFolder_ = FolderOf(widePath);
      break;
    }
    start = widePath;  // asked again, at the same name
  }
  requesting_ = false;
  lastGather_ = std::chrono::steady_clock::now();
  return RequesterEnds() ? std::string() : chosen;
}

// A small Fixed window of the platform's own, above the requester's owner:
// "No" is its default button, Esc and its close button answer "no", and so
// do a close request of any other window and the end flag.
bool Win32Platform::AskReplace(const std::wstring& path, const std::wstring& title, Handle owner) {
  constexpr int kWidth = 380, kHeight = 118;
  const Item* ownerItem = Find(owner, Kind::Window);
  int x = 100, y = 100;
  if (ownerItem != nullptr) {
    x = WindowX(owner) + (WindowWidth(owner) - kWidth) / 2;
    y = WindowY(owner) + (WindowHeight(owner) - kHeight) / 2;
  }
  const Handle window =
      OpenWindow(Utf8FromWide(title), x, y, kWidth, kHeight, WindowKind::Fixed, owner);
  if (window == 0) return false;
  // The question's two lines, as the Qt platform asks it in one text.
  const std::string question =
      Fill(Tr("%1 already exists.\nDo you want to replace it?"), {Utf8FromWide(NameOf(path))});
  const size_t lineBreak = question.find('\n');
  AddLabel(window, 16, 14, kWidth - 32, 22, question.substr(0, lineBreak), LabelKind::Plain);
  if (lineBreak != std::string::npos)
    AddLabel(window, 16, 38, kWidth - 32, 22, question.substr(lineBreak + 1), LabelKind::Plain);
  const Handle yes = AddButton(window, kWidth - 196, kHeight - 42, 84, 28, Tr("Yes"));
  const Handle no = AddButton(window, kWidth - 100, kHeight - 42, 84, 28, Tr("No"));
  SetDefaultButton(no);
  question_ = Question{window, yes, no, -1};
  while (question_.answer < 0 && !RequesterEnds()) {
    WaitForInput(INFINITE);
    Pump();
  }
  const bool replace = question_.answer == 1 && !RequesterEnds();
  question_ = Question{};
  DestroyWindow(window);
  return replace;
}
