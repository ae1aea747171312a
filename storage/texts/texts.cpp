#include "texts.h"

#include <cctype>
#include <cstring>

#include "catalogue.h"

namespace {

// The one chosen catalogue of the process; null for English.
const Catalogue* chosen = nullptr;
std::string chosenName;

const CatalogueEntry* Find(const char* english) {
  if (chosen == nullptr || english == nullptr) return nullptr;
  size_t low = 0, high = chosen->entryCount;
  while (low < high) {
    const size_t middle = low + (high - low) / 2;
    const int order = std::strcmp(chosen->entries[middle].english, english);
    if (order == 0) return &chosen->entries[middle];
    if (order < 0)
      low = middle + 1;
    else
      high = middle;
  }
  return nullptr;
}

const Catalogue* CatalogueNamed(const std::string& name) {
  for (size_t k = 0; k < kCatalogueCount; k++)
    if (name == kCatalogues[k].name) return &kCatalogues[k];
  return nullptr;
}

// "pt_BR.UTF-8@euro", "pt-br" -> "pt_BR": the codeset and the modifier go,
// the language is written in small letters and the territory in capitals.
std::string Normalised(const std::string& name) {
  std::string out;
  bool territory = false;
  for (const char c : name) {
    if (c == '.' || c == '@') break;
    if (c == '_' || c == '-') {
      territory = true;
      out += '_';
      continue;
    }
    const auto u = static_cast<unsigned char>(c);
    out += static_cast<char>(territory ? std::toupper(u) : std::tolower(u));
  }
  return out;
}

}  // namespace

const char* Tr(const char* english) {
  const CatalogueEntry* entry = Find(english);
  return entry != nullptr && entry->forms[0] != nullptr ? entry->forms[0] : english;
}

const char* TrN(const char* singular, const char* plural, unsigned long n) {
  const CatalogueEntry* entry = Find(singular);
  if (entry != nullptr) {
    const unsigned long form = chosen->pluralForm(n);
    if (form < static_cast<unsigned long>(chosen->pluralCount) && form < 4 &&
        entry->forms[form] != nullptr)
      return entry->forms[form];
  }
  return n == 1 ? singular : plural;
}

std::string Fill(const std::string& text, std::initializer_list<std::string> values) {
  std::string out;
  out.reserve(text.size());
  for (size_t k = 0; k < text.size(); k++) {
    const char c = text[k];
    if (c == '%' && k + 1 < text.size() && text[k + 1] >= '1' && text[k + 1] <= '9') {
      const size_t number = static_cast<size_t>(text[k + 1] - '0');
      if (number <= values.size()) {
        out += *(values.begin() + (number - 1));
        k++;
        continue;
      }
    }
    out += c;
  }
  return out;
}

std::string ChooseLanguage(const std::vector<std::string>& preferred) {
  chosen = nullptr;
  chosenName.clear();
  for (const std::string& wanted : preferred) {
    if (wanted == "C" || wanted.rfind("C.", 0) == 0 || wanted == "POSIX") break;
    const std::string name = Normalised(wanted);
    const std::string language = name.substr(0, name.find('_'));
    if (language == "en") break;
    const Catalogue* found = CatalogueNamed(name);
    if (found == nullptr) found = CatalogueNamed(language);
    if (found != nullptr) {
      chosen = found;
      chosenName = found->name;
      break;
    }
  }
  return chosenName;
}

const std::string& TextLanguage() { return chosenName; }

std::vector<std::string> CatalogueNames() {
  std::vector<std::string> names;
  for (size_t k = 0; k < kCatalogueCount; k++) names.emplace_back(kCatalogues[k].name);
  return names;
}

std::vector<std::string> CatalogueTexts() {
  std::vector<std::string> texts;
  if (chosen == nullptr) return texts;
  for (size_t k = 0; k < chosen->entryCount; k++)
    for (const char* form : chosen->entries[k].forms)
      if (form != nullptr) texts.emplace_back(form);
  return texts;
}
