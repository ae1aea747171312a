// Every dialog in every language, shown on the Qt platform (offscreen): the
// welcome dialog, Options, Promotion and message windows with every text of
// the catalogue. No text is cut off, and none is drawn smaller than the
// dialog's font, which is the font the English dialog has: no translation
// needs the dialog's font shrunk further than the program's own texts do.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLibraryInfo>
#include <QPushButton>
#include <QWidget>
#include <map>
#include <string>
#include <vector>

#include "config_file.h"
#include "message_window.h"
#include "move_input.h"
#include "options_dialog.h"
#include "qt_platform.h"
#include "qt_test_app.h"
#include "shell_state.h"
#include "texts.h"
#include "welcome_dialog.h"

namespace {

// Instead of waiting, the event wait looks at the newest dialog and then
// ends it: by its close button, or by its first button where closing does
// not end it (Promotion).
class InspectingPlatform : public QtPlatform {
 public:
  using QtPlatform::QtPlatform;

  Handle OpenWindow(const std::string& title, int x, int y, int w, int h, WindowKind kind,
                    Handle owner) override {
    newest_ = QtPlatform::OpenWindow(title, x, y, w, h, kind, owner);
    firstButton_ = 0;
    return newest_;
  }
  Handle AddButton(Handle window, int x, int y, int w, int h, const std::string& text) override {
    const Handle button = QtPlatform::AddButton(window, x, y, w, h, text);
    if (firstButton_ == 0) firstButton_ = button;
    return button;
  }
  Event WaitEvent() override {
    if (newest_ != inspected_) Inspect(WidgetOf(newest_));
    inspected_ = newest_;
    Event event;
    event.id = pressFirstButton ? EventId::GadgetAction : EventId::WindowClose;
    event.source = pressFirstButton ? firstButton_ : newest_;
    return event;
  }

  bool pressFirstButton = false;
  double dialogFont = 0;                  // the point size of the last dialog inspected
  std::vector<std::string> faults;        // texts cut off or drawn smaller

 private:
  // The width each kind of widget leaves for its text.
  void Check(QWidget* widget, const QString& text, int room, double font) {
    const QFontMetrics metrics(widget->font());
    if (metrics.horizontalAdvance(text) > room)
      faults.push_back("cut off (" + std::to_string(metrics.horizontalAdvance(text)) + " > " +
                       std::to_string(room) + " pixels): " + text.toStdString());
    if (widget->font().pointSizeF() < font)
      faults.push_back("drawn smaller than the dialog's font: " + text.toStdString());
  }
  void Inspect(QWidget* window) {
    ASSERT_NE(window, nullptr);
    dialogFont = window->font().pointSizeF();
    for (QLabel* label : window->findChildren<QLabel*>())
      Check(label, label->text(), label->width() - 4, dialogFont);
    for (QPushButton* button : window->findChildren<QPushButton*>())
      Check(button, button->text(), button->width() - 10, dialogFont);
    for (QCheckBox* box : window->findChildren<QCheckBox*>())
      Check(box, box->text(), box->width() - 24, dialogFont);
  }

  Handle newest_ = 0, inspected_ = 0, firstButton_ = 0;
};

class QtFitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ChooseLanguage({});
    settings = Settings{};
    shell = ShellState{};
    shell.platform = &platform;
    shell.mainWindow = platform.OpenWindow("Korvin 4", 200, 200, 400, 400, WindowKind::Resizable, 0);
    shell.boardCanvas = platform.AddCanvas(shell.mainWindow, 0, 0, 400, 400, true);
  }
  void TearDown() override {
    ChooseLanguage({});
    platform.DestroyWindow(shell.mainWindow);
    shell = ShellState{};
  }

  // Shows each dialog in the chosen language; the point size of each.
  std::map<std::string, double> ShowEveryDialog() {
    std::map<std::string, double> fonts;
    ShowWelcome();
    fonts["welcome"] = platform.dialogFont;
    ShowOptions();
    fonts["Options"] = platform.dialogFont;
    platform.pressFirstButton = true;
    EXPECT_EQ(AskPromotion(), 5);  // the first button is the queen
    platform.pressFirstButton = false;
    fonts["Promotion"] = platform.dialogFont;
    // Every translated text, a line each, in message windows of 20 lines.
    std::vector<std::string> lines;
    for (const std::string& text : CatalogueTexts())
      for (const std::string& line : Lines(text)) lines.push_back(line);
    for (size_t start = 0; start < lines.size(); start += 20) {
      ShowMessage(std::vector<std::string>(lines.begin() + static_cast<long>(start),
                                           lines.begin() + static_cast<long>(std::min(start + 20, lines.size()))));
      fonts["message"] = std::min(fonts.count("message") ? fonts["message"] : 1e9, platform.dialogFont);
    }
    return fonts;
  }

  int argc = 1;
  char name[16] = "qt_fit_tests";
  char* argv[2] = {name, nullptr};
  InspectingPlatform platform{argc, argv};
};

TEST_F(QtFitTest, EveryDialogInEveryLanguageKeepsTheEnglishDialogsFont) {
  std::map<std::string, double> english = ShowEveryDialog();
  ASSERT_TRUE(platform.faults.empty()) << platform.faults.front();
  ShowMessage({"Korvin 4"});
  english["message"] = platform.dialogFont;  // a message window never shrinks its font
  EXPECT_EQ(english["message"], QApplication::font().pointSizeF());

  for (const std::string& language : CatalogueNames()) {
    SCOPED_TRACE(language);
    ASSERT_EQ(ChooseLanguage({language}), language);
    platform.faults.clear();
    const std::map<std::string, double> fonts = ShowEveryDialog();
    for (const std::string& fault : platform.faults) ADD_FAILURE() << fault;
    for (const auto& [dialog, size] : fonts)
      EXPECT_EQ(size, english[dialog]) << "the " << dialog << " dialog's font shrank";
  }
}

}  // namespace

namespace {

// Qt's own texts (its file requester, the buttons of its questions) follow
// the chosen language where the system has Qt's catalogue for it.
TEST(QtOwnTexts, ComeFromQtsCatalogueOfTheChosenLanguage) {
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!QFileInfo::exists(folder + "/qtbase_de.qm"))
    GTEST_SKIP() << "Qt's German catalogue is not installed (package qt6-translations-l10n)";
  ASSERT_EQ(ChooseLanguage({"de"}), "de");
  {
    int argc = 1;
    char name[16] = "qt_fit_tests";
    char* argv[2] = {name, nullptr};
    QtPlatform platform{argc, argv};
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString("Abbrechen"));
  }
  ChooseLanguage({});
  // With the platform gone, so is its catalogue.
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString("Cancel"));
}

}  // namespace
