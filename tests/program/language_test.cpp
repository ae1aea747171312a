// The window program in the user's language, on the scripted platform: the
// welcome dialog, the Options dialog, a message and the result banners take
// the texts of the catalogue the variables choose; the plain locale and a
// language without a catalogue keep today's English.
#include <algorithm>
#include <utility>

#include "locale_variables.h"
#include "options_dialog.h"
#include "program_test_util.h"
#include "texts.h"
#include "user_language.h"

namespace {

class LanguageTest : public ProgramTest {
 protected:
  void TearDown() override {
    ChooseLanguage({});
    ProgramTest::TearDown();
  }

  // The choice the program makes at its start, from the variables.
  std::string Choose(const char* language, const char* lang = nullptr) {
    SetVariable("LANGUAGE", language);
    if (lang != nullptr) SetVariable("LANG", lang);
    return ChooseLanguage(UserLanguages());
  }

  // Empty banner files stand for the shipped ones (the pictures are fakes).
  static void PutBanners(const std::string& language) {
    for (const char* kind : {"checkmate", "stalemate", "draw"})
      std::ofstream(std::string(kind) + "-" + language + ".png") << "";
  }

  std::string BannerName(int kind) const { return p.FindPicture(shell.resultImages[kind])->name; }

  static std::vector<std::string> TextsOf(const ScriptPlatform& platform, const ScriptWindow* window) {
    std::vector<std::string> texts;
    for (const ScriptWidget* w : platform.WidgetsOf(window->handle)) texts.push_back(w->text);
    return texts;
  }

  SavedLocaleVariables variables_;
};

bool Has(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

TEST_F(LanguageTest, GermanWelcomeOptionsMessageAndBanners) {
  ASSERT_EQ(Choose("de", "en_US.UTF-8"), "de");
  PutBanners("de");
  actions.push_back(Press("Korvin 4", "Diese Meldung nicht mehr zeigen.", WidgetKind::CheckBox));
  actions.push_back(Press("Korvin 4", "OK"));
  ASSERT_TRUE(StartUp(p));
  const std::vector<std::string> welcome = TextsOf(p, &p.Windows()[1]);
  EXPECT_TRUE(Has(welcome, "Willkommen bei Korvin 4!"));
  EXPECT_TRUE(Has(welcome, "Diese Version ist ein wenig anders als die anderen Korvin-Spiele. Hier geht"));
  EXPECT_TRUE(Has(welcome, "neuen Formats nicht laden. Die Hashtabelle hat höchstens 100 MB."));
  EXPECT_EQ(welcome.size(), 10u);  // title, seven lines, the box, OK
  EXPECT_EQ(settings.hideWelcome, 1);
  EXPECT_EQ(BannerName(1), "checkmate-de.png");
  EXPECT_EQ(BannerName(2), "stalemate-de.png");
  EXPECT_EQ(BannerName(3), "draw-de.png");

  // "Save Game" on a game without moves tells so, in German.
  actions.push_back(Press("Optionen", "Partie sichern"));
  actions.push_back(Press("Korvin 4", "OK"));
  p.PushEvent(EventId::MouseDown, shell.boardCanvas, 2);
  Pump();
  const ScriptWindow* options = p.FindWindowByTitle("Optionen");
  ASSERT_NE(options, nullptr);
  const std::vector<std::string> buttons = TextsOf(p, options);
  for (const char* text : {"Neue Partie", "Partie laden", "Partie sichern", "Farbwechsel", "Anfänger",
                           "Mittelstufe", "Könner", "Experte"})
    EXPECT_TRUE(Has(buttons, text)) << text;
  const std::vector<std::string> message = TextsOf(p, &p.Windows().back());
  EXPECT_EQ(message, (std::vector<std::string>{
                         "Die Partie hat noch keine Züge: Es gibt nichts zu speichern.",
                         "Es wurde keine Datei geschrieben oder entfernt.", "OK"}));
}

TEST_F(LanguageTest, EveryLanguageNamesTheOptionsAndBanners) {
  const std::vector<std::pair<const char*, const char*>> expected = {
      {"de", "Neue Partie"},   {"es", "Nueva partida"}, {"fr", "Recommencer"},
      {"it", "Nuova partita"}, {"nl", "Nieuwe partij"}, {"pl", "Nowa partia"},
      {"pt_BR", "Nova partida"}, {"ru", "Новая партия"}};
  ASSERT_EQ(expected.size(), CatalogueNames().size());
  for (const auto& [language, newGame] : expected) {
    SCOPED_TRACE(language);
    ASSERT_EQ(Choose(language), language);
    PutBanners(language);
    ScriptPlatform platform;
    Prepare(platform);
    WriteConfig(100, 100, 400, 400, 0, 1, 1);
    ASSERT_TRUE(StartUp(platform));
    EXPECT_EQ(platform.FindPicture(shell.resultImages[1])->name,
              std::string("checkmate-") + language + ".png");
    platform.SetIdleHandler([&](ScriptPlatform& q) {
      const ScriptWindow* w = q.FindWindowByTitle(Tr("Options"));
      if (w != nullptr && !w->destroyed) q.PushEvent(EventId::WindowClose, w->handle);
    });
    ShowOptions();
    const ScriptWindow* options = platform.FindWindowByTitle(Tr("Options"));
    ASSERT_NE(options, nullptr);
    EXPECT_NE(platform.FindWidgetByText(options->handle, newGame, WidgetKind::Button), 0);
    EXPECT_EQ(platform.FindWidgetByText(options->handle, "New Game", WidgetKind::Button), 0);
    ShutDown();
  }
}

TEST_F(LanguageTest, AReasonFromStorageInRussianIsASentence) {
  ASSERT_EQ(Choose("ru"), "ru");
  StartPlain();
  std::ofstream("empty.kga") << "";
  actions.push_back(Press("Korvin 4", "ОК"));
  OpenGameFile("empty.kga");
  const std::vector<std::string> message = TextsOf(p, &p.Windows().back());
  ASSERT_EQ(message.size(), 4u);
  EXPECT_EQ(message[0], "Не удалось загрузить партию из «empty.kga»:");
  // The reason's first letter becomes a capital, in Cyrillic too.
  EXPECT_EQ(message[1], "Это не партия Korvin: файл пуст.");
  EXPECT_EQ(message[2], "Ваша партия продолжается как прежде.");
}

TEST_F(LanguageTest, PlainLocaleOrAMissingLanguageKeepsTheEnglishTexts) {
  PutBanners("de");
  for (const auto& [language, lang] : std::vector<std::pair<const char*, const char*>>{
           {"de", "C"}, {"sv_SE", "sv_SE.UTF-8"}}) {
    SCOPED_TRACE(language);
    EXPECT_EQ(Choose(language, lang), "");
    ScriptPlatform platform;
    Prepare(platform);
    actions.push_back([&] {
      const ScriptWindow* w = platform.FindWindowByTitle("Korvin 4");
      ASSERT_NE(w, nullptr);
      platform.ClickWidget(platform.FindWidgetByText(w->handle, "OK", WidgetKind::Button));
    });
    ASSERT_TRUE(StartUp(platform));
    const std::vector<std::string> welcome = TextsOf(platform, &platform.Windows()[1]);
    EXPECT_EQ(welcome[0], "Welcome to Korvin 4!");
    EXPECT_EQ(welcome[1], "This version is a bit different from the other Korvin games. It's just about");
    EXPECT_EQ(welcome[8], "Don't show this message again.");
    EXPECT_EQ(platform.FindPicture(shell.resultImages[1])->name, "checkmate.png");
    ShutDown();
  }
}

}  // namespace
