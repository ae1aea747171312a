// Which languages the user reads, best first, as the system tells them: on
// Linux the variables LANGUAGE, LC_ALL, LC_MESSAGES and LANG, on Windows
// the user's display languages. ChooseLanguage (texts.h) takes the list.
#pragma once

#include <string>
#include <vector>

// The user's languages, best first ("pt_BR.UTF-8", "de"); {"C"} where the
// user asked for the program's own texts; empty where nothing is known.
std::vector<std::string> UserLanguages();

// The list gettext makes from the four variables (null or empty for one
// that is not set): the locale is the first set of LC_ALL, LC_MESSAGES and
// LANG; a locale of "C" or "POSIX" means the program's own texts, whatever
// LANGUAGE says; otherwise LANGUAGE, a list parted by colons, comes first,
// and the locale is used when LANGUAGE is not set. (Where no locale is set
// at all, LANGUAGE still counts.)
std::vector<std::string> LanguagesFromVariables(const char* language, const char* lcAll,
                                                const char* lcMessages, const char* lang);
