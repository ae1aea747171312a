// Every text the program shows, in the user's language. The code writes its
// texts in English and passes each through Tr (or TrN for a text with a
// count); the translations come from the catalogues po/*.po, compiled into
// the program when it is built, so nothing is looked for at run time. A text
// without a translation, and every text while English is chosen, is the
// English one exactly as written.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

// The text in the chosen language, or `english` itself.
const char* Tr(const char* english);

// Marks a text for the catalogues where it is written down (a constant, a
// table) and looked up later with Tr: it returns `english` unchanged.
constexpr const char* TrLater(const char* english) { return english; }

// The form of a text with a count that suits `n` ("1 game", "2 games"), in
// the chosen language; in English `singular` for 1 and `plural` otherwise.
const char* TrN(const char* singular, const char* plural, unsigned long n);

// `text` with each placeholder %1 ... %9 replaced by the value of that
// number (values counted from 1), so that a translation may put them in any
// order. A placeholder without a value, and any other "%", stay as they are;
// a value is never itself searched for placeholders.
std::string Fill(const std::string& text, std::initializer_list<std::string> values);

// Chooses the catalogue for the first of `preferred` (language names such
// as "pt_BR" or "de", best first) that has one. "C", "POSIX" or English
// ("en", "en_GB") before any such name, or no name with a catalogue, choose
// English. Returns the chosen catalogue's name, "" for English.
std::string ChooseLanguage(const std::vector<std::string>& preferred);

// The chosen catalogue's name ("de", "pt_BR"), "" while English is used.
const std::string& TextLanguage();

// The names of the catalogues built into the program, in order.
std::vector<std::string> CatalogueNames();

// Every translation in the chosen catalogue, each plural form on its own
// (empty for English): for the tests that show every text.
std::vector<std::string> CatalogueTexts();
