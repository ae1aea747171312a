#include <windows.h>

#include <cstdlib>

#include "user_language.h"

namespace {

// "de-DE" as gettext names it, "de_DE".
std::string GettextName(const std::wstring& name) {
  std::string out;
  for (const wchar_t c : name) {
    if (c > 0x7f) return "";
    out += c == L'-' ? '_' : static_cast<char>(c);
  }
  return out;
}

// The user's display languages, best first: the list Windows keeps, or the
// one display language where the list is not to be had.
std::vector<std::string> DisplayLanguages() {
  std::vector<std::string> names;
  ULONG count = 0, length = 0;
  if (GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, nullptr, &length) && length > 0) {
    std::wstring buffer(length, L'\0');
    if (GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, buffer.data(), &length)) {
      // The names are parted by nulls and end with an empty one.
      for (size_t start = 0; start < buffer.size() && buffer[start] != L'\0';) {
        const size_t end = buffer.find(L'\0', start);
        const std::string name = GettextName(buffer.substr(start, end - start));
        if (!name.empty()) names.push_back(name);
        if (end == std::wstring::npos) break;
        start = end + 1;
      }
    }
  }
  if (names.empty()) {
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    if (LCIDToLocaleName(MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT), name,
                         LOCALE_NAME_MAX_LENGTH, 0) > 0) {
      const std::string found = GettextName(name);
      if (!found.empty()) names.push_back(found);
    }
  }
  return names;
}

}  // namespace

// The variables count first, as they do for gettext on Windows, so that a
// user (or a test) can ask for a language without changing the system's.
std::vector<std::string> UserLanguages() {
  std::vector<std::string> names =
      LanguagesFromVariables(std::getenv("LANGUAGE"), std::getenv("LC_ALL"),
                             std::getenv("LC_MESSAGES"), std::getenv("LANG"));
  return names.empty() ? DisplayLanguages() : names;
}
