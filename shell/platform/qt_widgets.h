// The Qt widgets behind QtPlatform's windows and canvases. They only turn
// Qt's events into events of the platform queue and show the last presented
// frame; they know nothing of the platform that made them and never call
// into the program.
#pragma once

#include <QImage>
#include <QObject>
#include <QWidget>

#include "event_queue.h"

class QDialog;
class QKeyEvent;
class QPushButton;

// Where the widgets report to: the platform's event queue, whether a repaint
// is the program's own Present (which raises no GadgetPaint), and the file
// requester while one is open.
struct QtEventSink {
  explicit QtEventSink(EventQueue& q) : queue(q) {}
  // Queues an event; `endsProgram` for a close request that ends the
  // program (of a window without owner). A close request or the end of the
  // session also ends an open file requester, as its Cancel button would.
  void Post(EventId id, Handle source, int data = 0, bool endsProgram = false);
  EventQueue& queue;
  bool presenting = false;
  QDialog* requester = nullptr;
};

// Ends a file requester at once, as its Cancel button would: a question it
// is asking (replace the existing file?) is answered "no" first.
void CancelRequester(QDialog* requester);

// Turns a wheel event's angle into whole notches (120 units each, positive
// away from the user), keeping the remainder of high-resolution wheels.
int TakeWheelNotches(int& remainder, int angleDeltaY, bool inverted);
// 1 left, 2 right, 3 middle, 0 for any other button.
int MouseButtonCode(Qt::MouseButton button);

// A top-level window.
class QtWindowWidget : public QWidget {
 public:
  // `fixed`: a window of fixed size (the program's dialogs): Esc acts as its
  // close button, and it is never maximized or made full-screen. A window
  // with a parent is a dialog of that window.
  QtWindowWidget(QtEventSink& sink, Handle handle, QWidget* parent, Qt::WindowFlags flags,
                 bool fixed);
  Handle handle() const { return handle_; }
  // The button that Enter presses, if any.
  QPushButton* defaultButton = nullptr;
  // Every key pressed in the window comes here (see QtAppFilter): Esc and
  // Enter do their one job, all other keys nothing.
  void TakeKey(const QKeyEvent& event);
  // The widget that gets the keyboard once the window is on the screen
  // (a window system may refuse to activate a window not yet shown).
  QWidget* focusOnShow = nullptr;
  // The largest client size the program allows in the normal state.
  QSize largest = QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  // The newest open dialog of this window, or of that dialog, and so on:
  // the window that should have the keyboard instead of this one (nullptr:
  // none is open).
  QtWindowWidget* FrontDialog() const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  QtEventSink& sink_;
  Handle handle_;
  bool fixed_;
  bool escapePosted_ = false;  // one Esc closes: later presses would outlive the window
  int wheelRemainder_ = 0;
};

// A canvas: a back buffer that the program draws into, and the front image
// that Present made visible and that paintEvent shows.
class QtCanvasWidget : public QWidget {
 public:
  QtCanvasWidget(QtEventSink& sink, Handle handle, QWidget* window, bool anchored);
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
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  QtEventSink& sink_;
  Handle handle_;
  bool anchored_;
  bool leftHeld_ = false;  // the left button went down on this canvas
  int wheelRemainder_ = 0;
};

// Watches the whole application: the desktop session's quit request becomes
// AppTerminate, keys meant for the program's windows go to TakeKey and no
// further, while the file requester is open no mouse input reaches the
// program's other windows (their close requests still do), and a window
// activated while a dialog of it is open hands the keyboard on to that
// dialog (or to the file requester and its question).
class QtAppFilter : public QObject {
 public:
  explicit QtAppFilter(QtEventSink& sink) : sink_(sink) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void PassKeyboardOn(QtWindowWidget* window);
  QtEventSink& sink_;
};
