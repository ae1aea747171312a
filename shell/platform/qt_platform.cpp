#include "qt_platform.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTranslator>
#include <algorithm>
#include <cstdint>
#include <thread>

#include "termination.h"
#include "texts.h"

// The compiled-in icon files of a static library must be registered by hand.
static void InitIconResource() { Q_INIT_RESOURCE(korvin_icons); }

namespace {
// Polls let Qt gather input at most this often.
constexpr auto kGatherInterval = std::chrono::milliseconds(4);

// The layouts are given in pixels for a small dialog font; where the user's
// font is larger, the dialog's font is set smaller until the widget's text
// fits its width (`room` is the width the widget leaves for its text), so
// that all texts of a dialog keep one size.
void FitText(QWidget* widget, const QString& text, int room) {
  QWidget* window = widget->window();
  QFont font = window->font();
  while (QFontMetrics(font).horizontalAdvance(text) > room && font.pointSizeF() > 6.0)
    font.setPointSizeF(font.pointSizeF() - 0.5);
  if (font != window->font()) window->setFont(font);
}

// The program's icon in every size it ships in (compiled in, see CMakeLists).
QIcon ProgramIcon() {
  QIcon icon;
  InitIconResource();
  for (const int size : {16, 24, 32, 48, 64, 128, 256})
    icon.addFile(QString(":/korvin4/icons/%1x%1/apps/korvin4.png").arg(size), QSize(size, size));
  return icon;
}
}  // namespace

QtPlatform::QtPlatform(int& argc, char** argv) : argc_(argc) {
  if (QApplication::instance() == nullptr) ownApp_ = std::make_unique<QApplication>(argc_, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  // Qt's own texts (the file requester, the buttons of its questions) in the
  // language of the program's, where the system has Qt's catalogue.
  if (!TextLanguage().empty()) {
    auto translator = std::make_unique<QTranslator>();
    if (translator->load(QString::fromStdString("qtbase_" + TextLanguage()),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(translator.get()))
      qtTexts_ = std::move(translator);
  }
  QGuiApplication::setDesktopFileName("korvin4");
  QApplication::setWindowIcon(ProgramIcon());
  appFilter_ = std::make_unique<QtAppFilter>(sink_);
  qApp->installEventFilter(appFilter_.get());
  // At log-off the session may end the process soon after it asked to save:
  // the program saves at once, inside this call.
  QObject::connect(qApp, &QGuiApplication::commitDataRequest, appFilter_.get(),
                   [this](QSessionManager&) {
                     sink_.Post(EventId::AppTerminate, 0);  // ends an open file requester
                     SessionEnding();
                   });
  const WaitHandle requests = CatchTerminationRequests();
  if (requests >= 0) {
    signalNotifier_ =
        std::make_unique<QSocketNotifier>(static_cast<qintptr>(requests), QSocketNotifier::Read);
    QObject::connect(signalNotifier_.get(), &QSocketNotifier::activated, signalNotifier_.get(), [this] {
      TakeTerminationRequests();
      sink_.Post(EventId::AppTerminate, 0);
    });
  }
  lastGather_ = std::chrono::steady_clock::now();
}

QtPlatform::~QtPlatform() {
  qApp->removeEventFilter(appFilter_.get());
  // A dialog goes with its owner, which Qt deletes it with.
  for (auto& [handle, item] : items_) {
    if (item.kind == Kind::Window && item.owner == 0) delete item.widget;
  }
  items_.clear();
}

// ----- Handles -------------------------------------------------------------

Handle QtPlatform::AddItem(Kind kind, Handle window, QWidget* widget, Handle owner) {
  const Handle handle = nextHandle_++;
  items_[handle] = Item{kind, kind == Kind::Window ? handle : window, widget, owner};
  return handle;
}

QWidget* QtPlatform::Find(Handle handle, Kind kind) const {
  const auto it = items_.find(handle);
  return it != items_.end() && it->second.kind == kind ? it->second.widget : nullptr;
}

QtCanvasWidget* QtPlatform::Canvas(Handle handle) const {
  return static_cast<QtCanvasWidget*>(Find(handle, Kind::Canvas));
}

QWidget* QtPlatform::WidgetOf(Handle handle) const {
  const auto it = items_.find(handle);
  return it != items_.end() ? it->second.widget : nullptr;
}

QImage QtPlatform::PresentedImage(Handle canvas) const {
  const QtCanvasWidget* c = Canvas(canvas);
  return c ? c->front : QImage();
}

// ----- Desktop and windows ---------------------------------------------------

int QtPlatform::DesktopWidth() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry().width() : 0;
}

int QtPlatform::DesktopHeight() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry().height() : 0;
}

// Distances are the larger of the horizontal and vertical gaps, in 64 bits.
ScreenRect QtPlatform::ScreenArea(int x, int y) {
  const QScreen* best = QGuiApplication::primaryScreen();
  int64_t bestDistance = INT64_MAX;
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect g = screen->geometry();
    const int64_t dx = std::max<int64_t>({int64_t{g.left()} - x, int64_t{x} - g.right(), 0});
    const int64_t dy = std::max<int64_t>({int64_t{g.top()} - y, int64_t{y} - g.bottom(), 0});
    if (std::max(dx, dy) < bestDistance) {
      bestDistance = std::max(dx, dy);
      best = screen;
    }
  }
  if (best == nullptr) return ScreenRect{};
  const QRect a = best->availableGeometry().marginsRemoved(FrameMargins());
  return ScreenRect{a.x(), a.y(), a.width(), a.height()};
}

// Read off a shown window with a frame; none before the first is shown.
QMargins QtPlatform::FrameMargins() const {
  for (const auto& [handle, item] : items_) {
    const QWidget* w = item.widget;
    if (item.kind != Kind::Window || !w->isVisible() || (w->windowFlags() & Qt::FramelessWindowHint))
      continue;
    const QRect frame = w->frameGeometry(), client = w->geometry();
    const auto side = [](int v) { return std::clamp(v, 0, 200); };
    return QMargins(side(client.left() - frame.left()), side(client.top() - frame.top()),
                    side(frame.right() - client.right()), side(frame.bottom() - client.bottom()));
  }
  return QMargins();
}

// A dialog (a window with an owner) is a child window of its owner, so the
// window system keeps it above the owner and groups the two; its title bar
// offers closing only. A Fixed window offers no maximize either.
Handle QtPlatform::OpenWindow(const std::string& title, int x, int y, int w, int h,
                              WindowKind kind, Handle owner) {
  QWidget* parent = Find(owner, Kind::Window);
  Qt::WindowFlags flags = parent != nullptr ? Qt::Dialog : Qt::Window;
  if (kind == WindowKind::Fixed)
    flags |= Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
             Qt::WindowCloseButtonHint;
  if (kind == WindowKind::Bare) flags |= Qt::FramelessWindowHint;
  const Handle handle = nextHandle_;
  auto* window = new QtWindowWidget(sink_, handle, parent, flags, kind == WindowKind::Fixed);
  AddItem(Kind::Window, 0, window, parent != nullptr ? owner : 0);
  window->setWindowTitle(QString::fromStdString(title));
  // The client area, for every kind: move() would place the frame there.
  window->setGeometry(x, y, w, h);
  if (kind != WindowKind::Resizable) window->setFixedSize(w, h);
  window->show();
  // A new window takes the keyboard (Qt asks the window system once the
  // window is on the screen).
  window->raise();
  window->activateWindow();
  return handle;
}

// Deletes the window's widget tree and forgets every handle inside it; its
// dialogs, which Qt deletes with it, go first.
void QtPlatform::DestroyWindow(Handle window) {
  QWidget* widget = Find(window, Kind::Window);
  if (widget == nullptr) return;
  std::vector<Handle> dialogs;
  for (const auto& [handle, item] : items_)
    if (item.kind == Kind::Window && item.owner == window) dialogs.push_back(handle);
  for (const Handle dialog : dialogs) DestroyWindow(dialog);
  QWidget* owner = Find(items_.at(window).owner, Kind::Window);
  for (auto it = items_.begin(); it != items_.end();) {
    if (it->second.window == window) {
      if (it->first == target_) target_ = 0;
      it = items_.erase(it);
    } else {
      ++it;
    }
  }
  delete widget;
  // The keyboard goes back to the owner (or to its next open dialog).
  if (owner != nullptr && owner->isVisible()) owner->activateWindow();
}

int QtPlatform::WindowX(Handle window) {
  const QWidget* w = Find(window, Kind::Window);
  return w ? w->geometry().x() : 0;
}

int QtPlatform::WindowY(Handle window) {
  const QWidget* w = Find(window, Kind::Window);
  return w ? w->geometry().y() : 0;
}

int QtPlatform::WindowWidth(Handle window) {
  const QWidget* w = Find(window, Kind::Window);
  return w ? w->width() : 0;
}

int QtPlatform::WindowHeight(Handle window) {
  const QWidget* w = Find(window, Kind::Window);
  return w ? w->height() : 0;
}

// A maximized or full-screen window has the size the window system gave
// it; answering with another is what some window systems forbid.
void QtPlatform::SetWindowShape(Handle window, int x, int y, int w, int h) {
  auto* widget = static_cast<QtWindowWidget*>(Find(window, Kind::Window));
  if (widget == nullptr || StateOf(window) != WindowState::Normal) return;
  const QSize size = QSize(w, h).expandedTo(widget->minimumSize()).boundedTo(widget->largest);
  widget->setGeometry(x, y, size.width(), size.height());
}

// Only the smallest size is the window system's business (see platform.h).
void QtPlatform::SetWindowLimits(Handle window, int minWidth, int minHeight, int maxWidth,
                                 int maxHeight) {
  auto* widget = static_cast<QtWindowWidget*>(Find(window, Kind::Window));
  if (widget == nullptr) return;
  widget->setMinimumSize(minWidth, minHeight);
  widget->largest = QSize(std::max(maxWidth, minWidth), std::max(maxHeight, minHeight));
}

WindowState QtPlatform::StateOf(Handle window) {
  const QWidget* w = Find(window, Kind::Window);
  if (w == nullptr) return WindowState::Normal;
  const Qt::WindowStates state = w->windowState();
  if (state & Qt::WindowMinimized) return WindowState::Minimized;
  if (state & Qt::WindowFullScreen) return WindowState::FullScreen;
  if (state & Qt::WindowMaximized) return WindowState::Maximized;
  return WindowState::Normal;
}

ScreenRect QtPlatform::NormalGeometry(Handle window) {
  const QWidget* w = Find(window, Kind::Window);
  if (w == nullptr) return ScreenRect{};
  QRect g = w->geometry();
  if (StateOf(window) != WindowState::Normal && w->normalGeometry().isValid()) g = w->normalGeometry();
  return ScreenRect{g.x(), g.y(), g.width(), g.height()};
}

bool QtPlatform::KnowsWindowPositions() {
  return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// Where the desktop handed a later start an activation token, the window
// system lets the window that presents it come forward.
void QtPlatform::RaiseWindow(Handle window, const std::string& activationToken) {
  QWidget* w = Find(window, Kind::Window);
  if (w == nullptr) return;
  if (!activationToken.empty()) {
    qputenv("XDG_ACTIVATION_TOKEN", QByteArray::fromStdString(activationToken));
    qputenv("DESKTOP_STARTUP_ID", QByteArray::fromStdString(activationToken));
  }
  if (w->isMinimized()) w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
  w->raise();
  w->activateWindow();
}

// ----- Widgets ---------------------------------------------------------------

int QtPlatform::TextWidth(const std::string& text) {
  return QFontMetrics(QApplication::font("QLabel")).horizontalAdvance(QString::fromStdString(text));
}

Handle QtPlatform::AddLabel(Handle window, int x, int y, int w, int h, const std::string& text,
                            LabelKind kind) {
  QWidget* parent = Find(window, Kind::Window);
  if (parent == nullptr) return 0;
  QFrame* frame = nullptr;
  if (kind == LabelKind::Separator) {
    // A plain one-pixel line, visible even where the line is 1 pixel high.
    frame = new QFrame(parent);
    frame->setFrameStyle(QFrame::HLine | QFrame::Plain);
    frame->setLineWidth(1);
    QPalette palette = frame->palette();
    palette.setColor(QPalette::WindowText, QColor(140, 140, 140));
    frame->setPalette(palette);
  } else {
    auto* label = new QLabel(QString::fromStdString(text), parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    if (kind == LabelKind::Sunken) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    FitText(label, label->text(), w - 4);
    frame = label;
  }
  frame->setGeometry(x, y, w, h);
  frame->show();
  return AddItem(Kind::Label, window, frame);
}

Handle QtPlatform::AddButton(Handle window, int x, int y, int w, int h,
                             const std::string& text) {
  QWidget* parent = Find(window, Kind::Window);
  if (parent == nullptr) return 0;
  auto* button = new QPushButton(QString::fromStdString(text), parent);
  button->setGeometry(x, y, w, h);
  FitText(button, button->text(), w - 10);
  button->setAutoDefault(false);
  const Handle handle = AddItem(Kind::Button, window, button);
  QObject::connect(button, &QPushButton::clicked, button,
                   [this, handle] { sink_.Post(EventId::GadgetAction, handle); });
  button->show();
  return handle;
}

Handle QtPlatform::AddCheckBox(Handle window, int x, int y, int w, int h,
                               const std::string& text) {
  QWidget* parent = Find(window, Kind::Window);
  if (parent == nullptr) return 0;
  auto* box = new QCheckBox(QString::fromStdString(text), parent);
  box->setGeometry(x, y, w, h);
  FitText(box, box->text(), w - 24);  // the box itself takes the first pixels
  const Handle handle = AddItem(Kind::CheckBox, window, box);
  // clicked, unlike toggled, is raised only by the user.
  QObject::connect(box, &QCheckBox::clicked, box,
                   [this, handle] { sink_.Post(EventId::GadgetAction, handle); });
  box->show();
  return handle;
}

int QtPlatform::CheckBoxState(Handle checkBox) {
  const auto* box = static_cast<QCheckBox*>(Find(checkBox, Kind::CheckBox));
  return box && box->isChecked() ? 1 : 0;
}

void QtPlatform::SetDefaultButton(Handle button) {
  auto* widget = static_cast<QPushButton*>(Find(button, Kind::Button));
  if (widget == nullptr) return;
  auto* window = static_cast<QtWindowWidget*>(Find(items_.at(button).window, Kind::Window));
  if (window != nullptr) window->defaultButton = widget;
}

// A style sheet is the one way every Qt style honours a button colour.
void QtPlatform::SetButtonColour(Handle button, int red, int green, int blue) {
  QWidget* widget = Find(button, Kind::Button);
  if (widget == nullptr) return;
  widget->setStyleSheet(QString("QPushButton { background-color: rgb(%1, %2, %3); "
                                "border: 1px solid rgb(120, 120, 120); border-radius: 3px; }")
                            .arg(std::clamp(red, 0, 255))
                            .arg(std::clamp(green, 0, 255))
                            .arg(std::clamp(blue, 0, 255)));
}

Handle QtPlatform::AddCanvas(Handle window, int x, int y, int w, int h, bool anchored) {
  QWidget* parent = Find(window, Kind::Window);
  if (parent == nullptr) return 0;
  const Handle handle = nextHandle_;
  auto* canvas = new QtCanvasWidget(sink_, handle, parent, anchored);
  AddItem(Kind::Canvas, window, canvas);
  canvas->rightMargin = parent->width() - (x + w);
  canvas->bottomMargin = parent->height() - (y + h);
  canvas->setGeometry(x, y, w, h);
  canvas->FitBuffer();
  canvas->show();
  return handle;
}

// A window not yet on the screen gets the keyboard once it is shown.
void QtPlatform::SetFocus(Handle widget) {
  QWidget* w = WidgetOf(widget);
  if (w == nullptr) return;
  if (auto* window = dynamic_cast<QtWindowWidget*>(w->window())) window->focusOnShow = w;
  w->window()->activateWindow();
  w->setFocus(Qt::OtherFocusReason);
}

void QtPlatform::SetBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

// ----- File requester --------------------------------------------------------

// The documents folder (where a user keeps what they save) when it exists,
// else the home folder; after a choice, the folder of the chosen file.
QString QtPlatform::RequesterFolder() const {
  if (!lastFolder_.isEmpty() && QFileInfo(lastFolder_).isDir()) return lastFolder_;
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (!documents.isEmpty() && QFileInfo(documents).isDir()) return documents;
  return QDir::homePath();
}

// The requester is not modal in Qt's sense, which would hold back a close
// request of the main window until it ended: it runs in a loop of its own
// while the application filter keeps mouse input from the program's other
// windows. Qt's own requester is used everywhere, so that a close request
// can always end it. For the same reason the question whether to replace
// an existing file is asked here, in a box that is not modal either: Qt's
// own question would block the main window's close request.
std::string QtPlatform::RequestFile(const std::string& title,
                                    const std::vector<FileFilter>& filters, bool save,
                                    const std::string& initialPath, Handle owner) {
  const QString start =
      initialPath.empty() ? RequesterFolder() : QString::fromStdString(initialPath);
  QFileDialog dialog(Find(owner, Kind::Window), QString::fromStdString(title), start);
  dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
  dialog.setWindowModality(Qt::NonModal);
  QStringList names, extensions;
  for (const FileFilter& f : filters) {
    const QStringList kinds = QString::fromStdString(f.extension).split(' ', Qt::SkipEmptyParts);
    QStringList patterns;
    for (const QString& kind : kinds) patterns << "*." + kind;
    extensions << kinds.value(0);
    names << QString("%1 (%2)").arg(QString::fromStdString(f.name), patterns.join(' '));
  }
  dialog.setNameFilters(names << QString::fromUtf8(Tr("All files")) + " (*)");
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  // A name typed without an extension gets the one of the chosen kind.
  if (save && !extensions.isEmpty()) {
    dialog.setDefaultSuffix(extensions.front());
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& chosen) {
      const qsizetype k = names.indexOf(chosen);
      dialog.setDefaultSuffix(k >= 0 && k < extensions.size() ? extensions[k] : QString());
    });
  }
  // A request to end the program, already made or coming now, and a close
  // request of any of the program's windows, cancel.
  const auto ends = [this] {
    return queue_.EndRequested() || queue_.Contains([](const Event& e) {
             return e.id == EventId::AppTerminate || e.id == EventId::WindowClose;
           });
  };
  std::string chosen;
  sink_.requester = &dialog;
  while (!ends()) {
    QEventLoop loop;
    QObject::connect(&dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    dialog.show();
    dialog.activateWindow();
    loop.exec();
    if (ends() || dialog.result() != QDialog::Accepted ||
        dialog.selectedFiles().isEmpty())
      break;
    const QString path = dialog.selectedFiles().first();
    if (!save || !QFileInfo::exists(path) || ConfirmReplace(dialog, path)) {
      chosen = path.toStdString();
      lastFolder_ = QFileInfo(path).absolutePath();
      break;
    }
  }
  sink_.requester = nullptr;
  lastGather_ = std::chrono::steady_clock::now();
  if (ends()) return "";
  return chosen;
}

// Asks whether to replace `path`, in a box over the requester; "no", closing
// the box and a request to end the program (CancelRequester) all keep the
// file.
bool QtPlatform::ConfirmReplace(QDialog& requester, const QString& path) {
  QMessageBox box(QMessageBox::Warning, requester.windowTitle(),
                  QString::fromStdString(Fill(Tr("%1 already exists.\nDo you want to replace it?"),
                                              {QFileInfo(path).fileName().toStdString()})),
                  QMessageBox::Yes | QMessageBox::No, &requester);
  box.setDefaultButton(QMessageBox::No);
  box.setEscapeButton(QMessageBox::No);
  box.setWindowModality(Qt::NonModal);
  QEventLoop loop;
  QObject::connect(&box, &QDialog::finished, &loop, &QEventLoop::quit);
  box.show();
  box.activateWindow();
  loop.exec();
  return box.clickedButton() == box.button(QMessageBox::Yes);
}

// ----- Events ------------------------------------------------------------------

// Blocks in Qt's own wait (no spinning) until a Qt event becomes ours.
Event QtPlatform::WaitEvent() {
  Event event;
  while (!queue_.Pop(event)) {
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    lastGather_ = std::chrono::steady_clock::now();
  }
  return event;
}

// Reached once every kPollClockStride polls: a clock reading, and Qt's
// event processing only when kGatherInterval has passed.
void QtPlatform::GatherInput() {
  const auto now = std::chrono::steady_clock::now();
  if (now - lastGather_ < kGatherInterval) return;
  lastGather_ = now;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtPlatform::ProcessPending() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  lastGather_ = std::chrono::steady_clock::now();
}

// One event per readiness: the notifier is switched off until watched again,
// so a descriptor the program has not yet read does not flood the queue. (On
// POSIX systems a wait handle is a descriptor.)
void QtPlatform::WatchWaitHandle(WaitHandle handle, int tag) {
  if (handle < 0) return;
  auto& notifier = watched_[handle];
  if (!notifier) {
    notifier = std::make_unique<QSocketNotifier>(static_cast<qintptr>(handle), QSocketNotifier::Read);
    QSocketNotifier* n = notifier.get();
    QObject::connect(n, &QSocketNotifier::activated, n, [this, n] {
      n->setEnabled(false);
      sink_.Post(EventId::HandleReady, 0, n->property("tag").toInt());
    });
  }
  notifier->setProperty("tag", tag);
  notifier->setEnabled(true);
}

int QtPlatform::PointerX(Handle canvas) {
  const QtCanvasWidget* c = Canvas(canvas);
  return c ? c->pointerX : 0;
}

int QtPlatform::PointerY(Handle canvas) {
  const QtCanvasWidget* c = Canvas(canvas);
  return c ? c->pointerY : 0;
}

// Sleeps in short slices and lets Qt turn what arrived meanwhile into queued
// events, so that a close request is seen within a slice.
bool QtPlatform::SleepUnless(int ms, bool (*ends)(const Event&)) {
  constexpr auto kSlice = std::chrono::milliseconds(10);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    lastGather_ = std::chrono::steady_clock::now();
    if (queue_.EndRequested() || queue_.Contains(ends)) return true;
    if (lastGather_ >= deadline) return false;
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(deadline - lastGather_, kSlice));
  }
}
