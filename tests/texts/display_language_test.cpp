// The Windows user's display language chooses the catalogue when none of
// the variables names one. Under Wine the display language is the one Wine
// was started in (its LC_ALL), so CTest runs this program once in English
// and once in German, and the first argument names the catalogue expected
// ("" for the program's own English).
#include <gtest/gtest.h>

#include <string>

#include "locale_variables.h"
#include "texts.h"
#include "user_language.h"

namespace {

std::string expected;

TEST(DisplayLanguage, ChoosesTheCatalogueWithoutVariables) {
  // Wine hands its own variables to the program: without them, only the
  // display language is left to choose.
  SavedLocaleVariables variables;
  const std::vector<std::string> languages = UserLanguages();
  ASSERT_FALSE(languages.empty()) << "Windows gave no display language";
  EXPECT_EQ(ChooseLanguage(languages), expected) << "display language " << languages.front();
  EXPECT_STREQ(Tr("Options"), expected == "de" ? "Optionen" : "Options");
  ChooseLanguage({});
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc > 1) expected = argv[1];
  return RUN_ALL_TESTS();
}
