#include <algorithm>
#include <string>
#include <vector>

#include "user_language.h"

namespace {

bool IsSet(const char* value) { return value != nullptr && value[0] != '\0'; }

// "C", "POSIX" and "C.UTF-8" name the program's own texts.
bool IsPlainLocale(const std::string& locale) {
  return locale == "C" || locale == "POSIX" || locale.rfind("C.", 0) == 0;
}

}  // namespace

std::vector<std::string> LanguagesFromVariables(const char* language, const char* lcAll,
                                                const char* lcMessages, const char* lang) {
  std::string locale;
  for (const char* value : {lcAll, lcMessages, lang}) {
    if (IsSet(value)) {
      locale = value;
      break;
    }
  }
  if (IsPlainLocale(locale)) return {"C"};
  std::vector<std::string> names;
  if (IsSet(language)) {
    const std::string list = language;
    size_t start = 0;
    while (start <= list.size()) {
      const size_t end = std::min(list.find(':', start), list.size());
      if (end > start) names.push_back(list.substr(start, end - start));
      start = end + 1;
    }
  }
  if (names.empty() && !locale.empty()) names.push_back(locale);
  return names;
}
