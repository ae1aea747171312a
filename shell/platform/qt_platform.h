// The platform on Qt 6 Widgets (see platform.h for the contract).
//
// It creates the QApplication unless one exists already, and keeps it from
// quitting when the last window closes: the program decides when to end.
// Every window carries the program's icon, and the application names its
// desktop file ("korvin4"), so the task bar groups it with its menu entry.
// Besides the Platform operations it offers a few Qt-side accessors for tests
// (the QWidget behind a handle, the presented image of a canvas).
#pragma once

#include <QImage>
#include <QMargins>
#include <QString>
#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform.h"
#include "qt_widgets.h"

class QApplication;
class QDialog;
class QSocketNotifier;
class QTranslator;

class QtPlatform : public Platform {
 public:
  QtPlatform(int& argc, char** argv);
  ~QtPlatform() override;
  QtPlatform(const QtPlatform&) = delete;
  QtPlatform& operator=(const QtPlatform&) = delete;

  int DesktopWidth() override;
  int DesktopHeight() override;
  ScreenRect ScreenArea(int x, int y) override;
  Handle OpenWindow(const std::string& title, int x, int y, int w, int h, WindowKind kind,
                    Handle owner) override;
  void DestroyWindow(Handle window) override;
  int WindowX(Handle window) override;
  int WindowY(Handle window) override;
  int WindowWidth(Handle window) override;
  int WindowHeight(Handle window) override;
  void SetWindowShape(Handle window, int x, int y, int w, int h) override;
  void SetWindowLimits(Handle window, int minWidth, int minHeight, int maxWidth,
                       int maxHeight) override;
  WindowState StateOf(Handle window) override;
  ScreenRect NormalGeometry(Handle window) override;
  bool KnowsWindowPositions() override;
  void RaiseWindow(Handle window, const std::string& activationToken) override;
  int TextWidth(const std::string& text) override;
  Handle AddLabel(Handle window, int x, int y, int w, int h, const std::string& text,
                  LabelKind kind) override;
  Handle AddButton(Handle window, int x, int y, int w, int h, const std::string& text) override;
  Handle AddCheckBox(Handle window, int x, int y, int w, int h,
                     const std::string& text) override;
  int CheckBoxState(Handle checkBox) override;
  void SetDefaultButton(Handle button) override;
  void SetButtonColour(Handle button, int red, int green, int blue) override;
  Handle AddCanvas(Handle window, int x, int y, int w, int h, bool anchored) override;
  void SetFocus(Handle widget) override;
  void SetBusy(bool busy) override;
  std::string RequestFile(const std::string& title, const std::vector<FileFilter>& filters, bool save,
                          const std::string& initialPath, Handle owner) override;
  Event WaitEvent() override;
  void WatchWaitHandle(WaitHandle handle, int tag) override;
  int PointerX(Handle canvas) override;
  int PointerY(Handle canvas) override;
  bool SleepUnless(int ms, bool (*ends)(const Event&)) override;
  Handle LoadPicture(const std::string& path, std::string* error = nullptr) override;
  void SetDrawTarget(Handle canvas) override;
  void SetDrawAlpha(double alpha) override;
  void SetAlphaBlending(bool on) override { blending_ = on; }
  void DrawPicture(Handle picture, int x, int y) override;
  void DrawPictureStretched(Handle picture, int x, int y, int w, int h) override;
  void FillRectangle(int x, int y, int w, int h, int red, int green, int blue) override;
  void Present() override;

  // ----- For tests ---------------------------------------------------------
  QWidget* WidgetOf(Handle handle) const;
  // The image shown by the last Present (device pixels).
  QImage PresentedImage(Handle canvas) const;
  int DroppedEvents() const { return queue_.Dropped(); }
  int QueuedEvents() const { return queue_.Count(); }
  // Lets Qt deliver everything pending now, as the next look of PollEvent would.
  void ProcessPending();
  // The folder the next file requester opens in when the program gives no
  // path: the last one used in this run, else the documents folder.
  QString RequesterFolder() const;
  // The file requester while one is open.
  QDialog* OpenRequester() const { return sink_.requester; }
  // The session manager asks the program to save (log-off): what
  // commitDataRequest does.
  void CommitData() { SessionEnding(); }

 protected:
  void GatherInput() override;

 private:
  enum class Kind { Window, Label, Button, CheckBox, Canvas };
  struct Item {
    Kind kind;
    Handle window;  // the window itself for a window
    QWidget* widget;
    Handle owner;   // windows: the window it is a dialog of, or 0
  };
  QWidget* Find(Handle handle, Kind kind) const;
  QtCanvasWidget* Canvas(Handle handle) const;
  // The window system's frame around a window with a title bar, so that a
  // client area placed inside ScreenArea keeps its frame on the screen too.
  QMargins FrameMargins() const;
  Handle AddItem(Kind kind, Handle window, QWidget* widget, Handle owner = 0);
  bool ConfirmReplace(QDialog& requester, const QString& path);
  void Draw(Handle picture, int x, int y, int w, int h, bool stretched);

  // A loaded picture for drawing: as decoded, its "@2x" companion if there
  // is one, and its most recent resampled sizes.
  struct Resampled {
    QSize size;
    QImage image;
  };
  struct Images {
    QImage normal;
    QImage doubled;
    std::string doubledName;        // the companion's file, until looked for
    std::vector<Resampled> recent;  // newest first, at most kResampledKept
  };
  // Sizes kept per picture: the board uses one at a time; one more spares a
  // resize that goes back and forth the work.
  static constexpr size_t kResampledKept = 2;
  const QImage& ImageForSize(Images& images, int width, int height);
  void LoadDoubled(Images& images);

  int argc_;
  std::unique_ptr<QApplication> ownApp_;
  std::unique_ptr<QTranslator> qtTexts_;  // Qt's catalogue for the chosen language
  QtEventSink sink_{queue_};
  std::unique_ptr<QtAppFilter> appFilter_;
  std::unique_ptr<QSocketNotifier> signalNotifier_;  // the system's requests to terminate
  std::map<WaitHandle, std::unique_ptr<QSocketNotifier>> watched_;  // WatchWaitHandle
  bool busy_ = false;
  std::map<Handle, Item> items_;
  std::map<Handle, Images> images_;
  Handle nextHandle_ = 1;
  Handle target_ = 0;
  double alpha_ = 1.0;
  bool blending_ = true;
  QString lastFolder_;  // of the last file chosen in a requester
  std::chrono::steady_clock::time_point lastGather_;
};
