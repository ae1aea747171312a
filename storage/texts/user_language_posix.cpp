#include <cstdlib>

#include "user_language.h"

std::vector<std::string> UserLanguages() {
  return LanguagesFromVariables(std::getenv("LANGUAGE"), std::getenv("LC_ALL"),
                                std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}
