// The Qt widgets behind QtPlatform's windows and canvases. They only turn
// Qt's events into events of the platform queue and show the last presented
// frame; they never call into the program.
#pragma once

#include <QImage>
#include <QObject>
#include <QWidget>

#include "platform_types.h"

class QtPlatform;

// Turns a wheel event's angle into whole notches (120 units each, positive
// away from the user), keeping the remainder of high-resolution wheels.
int TakeWheelNotches(int& remainder, int angleDeltaY, bool inverted);
// 1 left, 2 right, 3 middle, 0 for any other button.
int MouseButtonCode(Qt::MouseButton button);

// A top-level window.
class QtWindowWidget : public QWidget {
 public:
  QtWindowWidget(QtPlatform& platform, Handle handle, Qt::WindowFlags flags);
  Handle handle() const { return handle_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  QtPlatform& platform_;
  Handle handle_;
  int wheelRemainder_ = 0;
};

// A canvas: a back buffer that the program draws into, and the front image
// that Present made visible and that paintEvent shows.
class QtCanvasWidget : public QWidget {
 public:
  QtCanvasWidget(QtPlatform& platform, Handle handle, QWidget* window, bool anchored);
  Handle handle() const { return handle_; }
  bool anchored() const { return anchored_; }
  // Distance of the right and bottom edges to the window's, kept when anchored.
  int rightMargin = 0, bottomMargin = 0;
  QImage back;   // drawn into by the platform
  QImage front;  // what is on screen
  int pointerX = 0, pointerY = 0;
  // Gives the back buffer the widget's size at device resolution, keeping
  // what was drawn; a new area gets the window's background colour.
  void FitBuffer();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  QtPlatform& platform_;
  Handle handle_;
  bool anchored_;
  int wheelRemainder_ = 0;
};

// Watches the application object for quit requests of the desktop session.
class QtQuitFilter : public QObject {
 public:
  explicit QtQuitFilter(QtPlatform& platform) : platform_(platform) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QtPlatform& platform_;
};
