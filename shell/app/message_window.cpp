#include <algorithm>
#include <cctype>
#include <filesystem>

#include "utf8_path.h"

#include "dialog.h"
#include "shell_state.h"
#include "texts.h"

namespace {

// A line as a label can show it: a control character (a file may be named
// with a line break or a tab) is shown as "?", as file managers do.
std::string Printable(const std::string& line) {
  std::string text = line;
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
  return text;
}

}  // namespace

// One label per line, the window as high as its lines need and as wide as
// the longest one (within the screen), so that every line is shown in the
// same font.
void ShowMessage(const std::vector<std::string>& given) {
  std::vector<std::string> lines;
  for (const std::string& line : given) lines.push_back(Printable(line));
  Platform& p = *shell.platform;
  const int count = static_cast<int>(lines.size());
  int longest = 0;
  for (const std::string& line : lines) longest = std::max(longest, p.TextWidth(line));
  const int widest = std::max(520, p.DesktopWidth() - 40);
  const int w = std::clamp(longest + 48, 520, widest), h = 15 + 22 * count + 18 + 25 + 15;
  const Handle window = OpenDialog("Korvin 4", w, h, WindowKind::Fixed);
  for (int k = 0; k < count; k++)
    p.AddLabel(window, 20, 15 + 22 * k, w - 40, 18, lines[static_cast<size_t>(k)], LabelKind::Plain);
  const Handle ok = p.AddButton(window, (w - 100) / 2, h - 15 - 25, 100, 25, Tr("OK"));
  p.SetDefaultButton(ok);
  p.SetFocus(ok);
  RunDialog(window, true, [ok](const Event& e) { return e.id == EventId::GadgetAction && e.source == ok; });
  p.DestroyWindow(window);
  if (shell.boardCanvas != 0) RestoreBoardTarget();
}

// A reason may begin with a letter of two bytes in UTF-8: the small letters
// of Latin-1 (U+00E0 to U+00FE) and of Russian (U+0430 to U+044F) have
// their capitals at fixed distances.
void CapitaliseFirst(std::string& text) {
  if (text.empty()) return;
  const auto first = static_cast<unsigned char>(text[0]);
  if (first < 0x80) {
    text[0] = static_cast<char>(std::toupper(first));
    return;
  }
  if (text.size() < 2) return;
  const auto second = static_cast<unsigned char>(text[1]);
  if (first == 0xC3 && second >= 0xA0 && second <= 0xBE && second != 0xB7)
    text[1] = static_cast<char>(second - 0x20);
  else if (first == 0xD0 && second >= 0xB0 && second <= 0xBF)
    text[1] = static_cast<char>(second - 0x20);
  else if (first == 0xD1 && second >= 0x80 && second <= 0x8F) {
    text[0] = static_cast<char>(0xD0);
    text[1] = static_cast<char>(second + 0x20);
  }
}

std::string Sentence(const std::string& reason) {
  std::string text = reason;
  CapitaliseFirst(text);
  if (text.empty() || text.back() != '.') text += ".";
  return text;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return lines;
    start = end + 1;
  }
}

std::string FullPath(const std::string& path) {
  std::error_code ignored;
  const std::filesystem::path full = std::filesystem::absolute(PathFromUtf8(path), ignored);
  return full.empty() ? path : Utf8FromPath(full.lexically_normal());
}
