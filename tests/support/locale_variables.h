// The variables that name the user's language (LANGUAGE, LC_ALL,
// LC_MESSAGES, LANG), unset while an object of this type lives and put back
// as they were when it goes, so that a test sees only what it sets.
#pragma once

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "env_vars.h"

class SavedLocaleVariables {
 public:
  SavedLocaleVariables() {
    for (const char* name : kNames) {
      const char* value = std::getenv(name);
      saved_.emplace_back(value != nullptr, value != nullptr ? value : "");
      UnsetVariable(name);
    }
  }
  ~SavedLocaleVariables() {
    for (size_t k = 0; k < saved_.size(); k++) {
      if (saved_[k].first)
        SetVariable(kNames[k], saved_[k].second.c_str());
      else
        UnsetVariable(kNames[k]);
    }
  }
  SavedLocaleVariables(const SavedLocaleVariables&) = delete;
  SavedLocaleVariables& operator=(const SavedLocaleVariables&) = delete;

 private:
  static constexpr const char* kNames[4] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
  std::vector<std::pair<bool, std::string>> saved_;
};
