// The lookup of the user's texts: English untouched, the catalogues found
// by the names users give, plural forms, placeholders, and the language
// the variables ask for.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "locale_variables.h"
#include "texts.h"
#include "user_language.h"

namespace {

// Every test starts and ends with English, the state of a fresh program.
class Texts : public ::testing::Test {
 protected:
  void SetUp() override { ChooseLanguage({}); }
  void TearDown() override { ChooseLanguage({}); }
};

TEST_F(Texts, EnglishIsTheTextAsWritten) {
  const char* text = "New Game";
  EXPECT_EQ(Tr(text), text);
  EXPECT_EQ(TextLanguage(), "");
  EXPECT_STREQ(TrN("%1 byte", "%1 bytes", 1), "%1 byte");
  EXPECT_STREQ(TrN("%1 byte", "%1 bytes", 0), "%1 bytes");
  EXPECT_STREQ(TrN("%1 byte", "%1 bytes", 2), "%1 bytes");
  EXPECT_TRUE(CatalogueTexts().empty());
}

TEST_F(Texts, ChosenCatalogueTranslatesAndLeavesUnknownTextsAlone) {
  EXPECT_EQ(ChooseLanguage({"de"}), "de");
  EXPECT_STREQ(Tr("New Game"), "Neue Partie");
  EXPECT_STREQ(Tr("Knight"), "Springer");
  const char* unknown = "a text no catalogue has";
  EXPECT_EQ(Tr(unknown), unknown);
  EXPECT_EQ(Tr(nullptr), nullptr);
  EXPECT_FALSE(CatalogueTexts().empty());
}

TEST_F(Texts, NamesAsUsersGiveThemFindTheirCatalogue) {
  EXPECT_EQ(ChooseLanguage({"pt_BR.UTF-8"}), "pt_BR");
  EXPECT_EQ(ChooseLanguage({"pt-br"}), "pt_BR");
  EXPECT_EQ(ChooseLanguage({"de_AT.UTF-8@euro"}), "de");
  EXPECT_EQ(ChooseLanguage({"fr_CA"}), "fr");
  EXPECT_EQ(ChooseLanguage({"eo", "sv_SE", "ru_RU.KOI8-R"}), "ru");
  // There is Brazilian Portuguese only: gettext gives Portugal's users English.
  EXPECT_EQ(ChooseLanguage({"pt_PT"}), "");
  EXPECT_EQ(ChooseLanguage({"pt"}), "");
}

TEST_F(Texts, EnglishOrThePlainLocaleBeforeALanguageMeansEnglish) {
  EXPECT_EQ(ChooseLanguage({"en_GB", "de"}), "");
  EXPECT_EQ(ChooseLanguage({"en", "fr"}), "");
  EXPECT_EQ(ChooseLanguage({"C", "de"}), "");
  EXPECT_EQ(ChooseLanguage({"POSIX"}), "");
  EXPECT_EQ(ChooseLanguage({"C.UTF-8"}), "");
  EXPECT_EQ(ChooseLanguage({""}), "");
  EXPECT_STREQ(Tr("New Game"), "New Game");
}

TEST_F(Texts, EveryCatalogueHasTheCommandsAndPieces) {
  const std::vector<std::string> names = CatalogueNames();
  EXPECT_EQ(names, (std::vector<std::string>{"de", "es", "fr", "it", "nl", "pl", "pt_BR", "ru"}));
  for (const std::string& name : names) {
    ASSERT_EQ(ChooseLanguage({name}), name);
    for (const char* text : {"New Game", "Load Game", "Save Game", "Change Sides", "Novice",
                             "Intermediate", "Advanced", "Queen", "Rook", "Bishop", "Knight",
                             "Checkmate", "Stalemate", "Draw"})
      EXPECT_STRNE(Tr(text), text) << name << ": " << text;
  }
}

TEST_F(Texts, PluralFormsFollowEachLanguagesRule) {
  struct Case {
    const char* language;
    unsigned long n;
    const char* form;
  };
  // Russian and Polish have three forms; French counts 0 as singular.
  const Case cases[] = {{"ru", 1, "%1 байт"},  {"ru", 3, "%1 байта"},  {"ru", 5, "%1 байт"},
                        {"ru", 12, "%1 байт"}, {"ru", 22, "%1 байта"}, {"pl", 1, "%1 bajt"},
                        {"pl", 4, "%1 bajty"}, {"pl", 12, "%1 bajtów"}, {"pl", 24, "%1 bajty"},
                        {"pl", 21, "%1 bajtów"}, {"fr", 0, "%1 octet"}, {"fr", 2, "%1 octets"}};
  for (const Case& c : cases) {
    ASSERT_EQ(ChooseLanguage({c.language}), c.language);
    EXPECT_STREQ(TrN("%1 byte", "%1 bytes", c.n), c.form) << c.language << ", " << c.n;
  }
  ChooseLanguage({"ru"});
  EXPECT_STREQ(TrN("there is no game %1: the file holds %2 game",
                   "there is no game %1: the file holds %2 games", 21),
               "партии %1 нет: в файле %2 партия");
  // A text with a count that the catalogue lacks keeps the English rule.
  EXPECT_STREQ(TrN("%1 thing", "%1 things", 1), "%1 thing");
  EXPECT_STREQ(TrN("%1 thing", "%1 things", 5), "%1 things");
}

TEST(Fill, PlaceholdersTakeTheirValuesInAnyOrder) {
  EXPECT_EQ(Fill("%2 after %1", {"one", "two"}), "two after one");
  EXPECT_EQ(Fill("\"%1\": %2.", {"/tmp/a b", "file not found"}), "\"/tmp/a b\": file not found.");
  // A value is not searched again, a missing value and a lone % stay.
  EXPECT_EQ(Fill("%1", {"%2"}), "%2");
  EXPECT_EQ(Fill("%1 and %3", {"a"}), "a and %3");
  EXPECT_EQ(Fill("100% of %1%", {"it"}), "100% of it%");
  EXPECT_EQ(Fill("%0 %", {"x"}), "%0 %");
  EXPECT_EQ(Fill("", {"x"}), "");
}

TEST(LanguageVariables, GettextsOrder) {
  EXPECT_EQ(LanguagesFromVariables("pt_BR:de", "", "", "fr_FR.UTF-8"),
            (std::vector<std::string>{"pt_BR", "de"}));
  EXPECT_EQ(LanguagesFromVariables(nullptr, "it_IT.UTF-8", "de_DE", "fr_FR"),
            (std::vector<std::string>{"it_IT.UTF-8"}));
  EXPECT_EQ(LanguagesFromVariables(nullptr, nullptr, "de_DE", "fr_FR"),
            (std::vector<std::string>{"de_DE"}));
  EXPECT_EQ(LanguagesFromVariables("", "", "", "nl_NL.UTF-8"),
            (std::vector<std::string>{"nl_NL.UTF-8"}));
  // Empty entries of the list are skipped.
  EXPECT_EQ(LanguagesFromVariables("::ru::pl:", nullptr, nullptr, "de_DE"),
            (std::vector<std::string>{"ru", "pl"}));
  // Without any locale variable, LANGUAGE still counts.
  EXPECT_EQ(LanguagesFromVariables("de", nullptr, nullptr, nullptr),
            (std::vector<std::string>{"de"}));
  EXPECT_TRUE(LanguagesFromVariables(nullptr, nullptr, nullptr, nullptr).empty());
}

TEST(LanguageVariables, PlainLocaleOverrulesLanguage) {
  for (const char* plain : {"C", "POSIX", "C.UTF-8"}) {
    EXPECT_EQ(LanguagesFromVariables("de:fr", plain, "", ""), (std::vector<std::string>{"C"}));
    EXPECT_EQ(LanguagesFromVariables("de", nullptr, nullptr, plain), (std::vector<std::string>{"C"}));
  }
  // LC_ALL wins over a plain LANG.
  EXPECT_EQ(LanguagesFromVariables("de", "ru_RU.UTF-8", nullptr, "C"),
            (std::vector<std::string>{"de"}));
}

// The process's own variables, put back afterwards.
class Environment : public Texts {
 protected:
  SavedLocaleVariables variables_;
};

TEST_F(Environment, TheUsersVariablesChooseTheCatalogue) {
  SetVariable("LANG", "pl_PL.UTF-8");
  EXPECT_EQ(ChooseLanguage(UserLanguages()), "pl");
  SetVariable("LANGUAGE", "es:it");
  EXPECT_EQ(ChooseLanguage(UserLanguages()), "es");
  SetVariable("LC_ALL", "C");
  EXPECT_EQ(ChooseLanguage(UserLanguages()), "");
  UnsetVariable("LC_ALL");
  UnsetVariable("LANGUAGE");
  SetVariable("LANG", "sv_SE.UTF-8");  // no catalogue: the program's own English
  EXPECT_EQ(ChooseLanguage(UserLanguages()), "");
  EXPECT_STREQ(Tr("Change Sides"), "Change Sides");
}

}  // namespace
