// The platform on Qt 6 Widgets (see platform.h for the contract).
//
// It creates the QApplication unless one exists already, and keeps it from
// quitting when the last window closes: the program decides when to end.
// Besides the Platform operations it offers a few Qt-side accessors for tests
// (the QWidget behind a handle, the presented image of a canvas).
#pragma once

#include <QImage>
#include <chrono>
#include <map>
#include <memory>

#include "platform.h"

class QApplication;
class QDialog;
class QSocketNotifier;
class QWidget;
class QtCanvasWidget;
class QtQuitFilter;

class QtPlatform : public Platform {
 public:
  QtPlatform(int& argc, char** argv);
  ~QtPlatform() override;
  QtPlatform(const QtPlatform&) = delete;
  QtPlatform& operator=(const QtPlatform&) = delete;

  int DesktopWidth() override;
  int DesktopHeight() override;
  Handle OpenWindow(const std::string& title, int x, int y, int w, int h,
                    WindowKind kind) override;
  void DestroyWindow(Handle window) override;
  int WindowX(Handle window) override;
  int WindowY(Handle window) override;
  int WindowWidth(Handle window) override;
  int WindowHeight(Handle window) override;
  void SetWindowShape(Handle window, int x, int y, int w, int h) override;
  void SetWindowLimits(Handle window, int minWidth, int minHeight, int maxWidth,
                       int maxHeight) override;
  Handle AddLabel(Handle window, int x, int y, int w, int h, const std::string& text,
                  LabelKind kind) override;
  Handle AddButton(Handle window, int x, int y, int w, int h, const std::string& text) override;
  Handle AddCheckBox(Handle window, int x, int y, int w, int h,
                     const std::string& text) override;
  int CheckBoxState(Handle checkBox) override;
  void SetCheckBoxState(Handle checkBox, int state) override;
  void SetButtonColour(Handle button, int red, int green, int blue) override;
  Handle AddCanvas(Handle window, int x, int y, int w, int h, bool anchored) override;
  void SetFocus(Handle widget) override;
  std::string RequestFile(const std::string& title, const std::vector<FileFilter>& filters, bool save,
                          const std::string& initialPath) override;
  Event WaitEvent() override;
  int PointerX(Handle canvas) override;
  int PointerY(Handle canvas) override;
  void Sleep(int ms) override;
  bool SleepUnless(int ms, bool (*ends)(const Event&)) override;
  Handle LoadPicture(const std::string& path, std::string* error = nullptr) override;
  void SetDrawTarget(Handle canvas) override;
  void SetDrawAlpha(double alpha) override;
  void SetAlphaBlending(bool on) override { blending_ = on; }
  void DrawPicture(Handle picture, int x, int y) override;
  void DrawPictureStretched(Handle picture, int x, int y, int w, int h) override;
  void Present() override;

  // ----- For the widgets ---------------------------------------------------
  void Post(EventId id, Handle source, int data = 0);
  // True while Present repaints, so that its paint raises no GadgetPaint.
  bool presenting() const { return presenting_; }

  // ----- For tests ---------------------------------------------------------
  QWidget* WidgetOf(Handle handle) const;
  // The image shown by the last Present (device pixels).
  QImage PresentedImage(Handle canvas) const;
  int DroppedEvents() const { return queue_.Dropped(); }
  int QueuedEvents() const { return queue_.Count(); }
  // Lets Qt deliver everything pending now, as the next look of PollEvent would.
  void ProcessPending();

 protected:
  void GatherInput() override;

 private:
  enum class Kind { Window, Label, Button, CheckBox, Canvas };
  struct Item {
    Kind kind;
    Handle window;  // the window itself for a window
    QWidget* widget;
  };
  QWidget* Find(Handle handle, Kind kind) const;
  QtCanvasWidget* Canvas(Handle handle) const;
  Handle AddItem(Kind kind, Handle window, QWidget* widget);
  void Draw(Handle picture, int x, int y, int w, int h, bool stretched);

  int argc_;
  std::unique_ptr<QApplication> ownApp_;
  std::unique_ptr<QtQuitFilter> quitFilter_;
  std::unique_ptr<QSocketNotifier> signalNotifier_;  // SIGTERM, SIGINT, SIGHUP
  std::map<Handle, Item> items_;
  std::map<Handle, QImage> images_;
  Handle nextHandle_ = 1;
  Handle target_ = 0;
  double alpha_ = 1.0;
  bool blending_ = true;
  bool presenting_ = false;
  QDialog* requester_ = nullptr;  // the open file requester, if any
  std::chrono::steady_clock::time_point lastGather_;
};
