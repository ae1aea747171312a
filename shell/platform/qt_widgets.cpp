#include "qt_widgets.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QWheelEvent>
#include <cmath>

void QtEventSink::Post(EventId id, Handle source, int data, bool endsProgram) {
  queue.Post(Event{id, source, data}, endsProgram);
  if (requester != nullptr && (id == EventId::WindowClose || id == EventId::AppTerminate))
    CancelRequester(requester);
}

namespace {

// True when `widget` is `ancestor` or lies inside it (a dialog it opened).
bool IsWithin(const QObject* widget, const QObject* ancestor) {
  for (; widget != nullptr; widget = widget->parent())
    if (widget == ancestor) return true;
  return false;
}

}  // namespace

// The requester's questions are message boxes of its own; "No" (or their
// escape button) leaves the file alone.
void CancelRequester(QDialog* requester) {
  for (QWidget* top : QApplication::topLevelWidgets()) {
    auto* box = qobject_cast<QMessageBox*>(top);
    if (box == nullptr || !box->isVisible() || !IsWithin(box, requester)) continue;
    QAbstractButton* no = box->button(QMessageBox::No);
    if (no == nullptr) no = box->escapeButton();
    if (no != nullptr)
      no->click();
    else
      box->reject();
  }
  requester->reject();
}

int TakeWheelNotches(int& remainder, int angleDeltaY, bool inverted) {
  remainder += inverted ? -angleDeltaY : angleDeltaY;
  const int notches = remainder / 120;
  remainder -= notches * 120;
  return notches;
}

int MouseButtonCode(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 3;
    default: return 0;
  }
}

// ----- Window ---------------------------------------------------------------

QtWindowWidget::QtWindowWidget(QtEventSink& sink, Handle handle, QWidget* parent,
                               Qt::WindowFlags flags, bool fixed)
    : QWidget(parent, flags), sink_(sink), handle_(handle), fixed_(fixed) {
  setAttribute(Qt::WA_DeleteOnClose, false);
}

void QtWindowWidget::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (focusOnShow == nullptr) return;
  activateWindow();
  focusOnShow->setFocus(Qt::OtherFocusReason);
}

// Maximized or full-screen and back: the new state matters to the program
// even where the size did not change.
// Where the window system's decoration offers maximize for every window
// (Qt's own title bars on Wayland draw the button whatever the window), a
// fixed dialog declines it and keeps its size.
void QtWindowWidget::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  const Qt::WindowStates sized = Qt::WindowMaximized | Qt::WindowFullScreen;
  if (event->type() == QEvent::WindowStateChange && fixed_ && (windowState() & sized)) {
    setWindowState(windowState() & ~sized);
    return;
  }
  if (event->type() == QEvent::WindowStateChange && isVisible() && !isMinimized())
    sink_.Post(EventId::WindowSize, handle_);
}

// Held keys repeat; only a real press counts.
void QtWindowWidget::TakeKey(const QKeyEvent& event) {
  if (event.isAutoRepeat()) return;
  if (event.key() == Qt::Key_Escape && fixed_ && !escapePosted_) {
    escapePosted_ = true;
    sink_.Post(EventId::WindowClose, handle_, 0, parentWidget() == nullptr);
  } else if ((event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) &&
             defaultButton != nullptr && defaultButton->isEnabled()) {
    defaultButton->click();
  }
}

// Closing is the program's decision: the request becomes an event.
void QtWindowWidget::closeEvent(QCloseEvent* event) {
  event->ignore();
  sink_.Post(EventId::WindowClose, handle_, 0, parentWidget() == nullptr);
}

// Handles grow with every window opened, so the largest is the newest.
QtWindowWidget* QtWindowWidget::FrontDialog() const {
  QtWindowWidget* front = nullptr;
  for (QtWindowWidget* dialog : findChildren<QtWindowWidget*>(Qt::FindDirectChildrenOnly)) {
    if (dialog->isWindow() && dialog->isVisible() && (front == nullptr || dialog->handle() > front->handle()))
      front = dialog;
  }
  if (front == nullptr) return nullptr;
  QtWindowWidget* further = front->FrontDialog();
  return further != nullptr ? further : front;
}

// Moves anchored canvases with the edges, then reports the new size unless
// the window is hidden or minimised.
void QtWindowWidget::resizeEvent(QResizeEvent* event) {
  for (QObject* child : children()) {
    auto* canvas = dynamic_cast<QtCanvasWidget*>(child);
    if (canvas == nullptr || !canvas->anchored()) continue;
    canvas->resize(width() - canvas->x() - canvas->rightMargin,
                   height() - canvas->y() - canvas->bottomMargin);
  }
  QWidget::resizeEvent(event);
  if (isVisible() && !isMinimized()) sink_.Post(EventId::WindowSize, handle_);
}

void QtWindowWidget::mousePressEvent(QMouseEvent* event) {
  const int button = MouseButtonCode(event->button());
  if (button != 0) sink_.Post(EventId::MouseDown, handle_, button);
  event->accept();
}

void QtWindowWidget::wheelEvent(QWheelEvent* event) {
  const int notches = TakeWheelNotches(wheelRemainder_, event->angleDelta().y(), event->inverted());
  if (notches != 0) sink_.Post(EventId::MouseWheel, handle_, notches);
  event->accept();
}

// ----- Canvas ---------------------------------------------------------------

QtCanvasWidget::QtCanvasWidget(QtEventSink& sink, Handle handle, QWidget* window, bool anchored)
    : QWidget(window), sink_(sink), handle_(handle), anchored_(anchored) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void QtCanvasWidget::FitBuffer() {
  const qreal ratio = devicePixelRatioF();
  const int w = std::max(1, static_cast<int>(std::ceil(width() * ratio)));
  const int h = std::max(1, static_cast<int>(std::ceil(height() * ratio)));
  if (back.width() == w && back.height() == h && back.devicePixelRatio() == ratio) return;
  QImage fresh(w, h, QImage::Format_ARGB32_Premultiplied);
  fresh.setDevicePixelRatio(ratio);
  fresh.fill(palette().window().color());
  if (!back.isNull()) {
    QPainter painter(&fresh);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), back);
  }
  back = fresh;
  if (front.isNull()) front = back;
}

// Shows the presented frame. A paint that Present did not cause means the
// window system wants the canvas drawn again: the program hears of it.
void QtCanvasWidget::paintEvent(QPaintEvent*) {
  FitBuffer();
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  painter.drawImage(QPoint(0, 0), front);
  if (!sink_.presenting) sink_.Post(EventId::GadgetPaint, handle_);
}

void QtCanvasWidget::resizeEvent(QResizeEvent* event) {
  FitBuffer();
  QWidget::resizeEvent(event);
}

// Moves are reported only while the left button, pressed on this canvas,
// is held: they carry a piece. Otherwise only the position is kept.
void QtCanvasWidget::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  pointerX = p.x();
  pointerY = p.y();
  if (leftHeld_ && (event->buttons() & Qt::LeftButton)) sink_.Post(EventId::MouseMove, handle_);
}

// A press and a release also update the pointer, so that its position is
// the click's.
void QtCanvasWidget::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  pointerX = p.x();
  pointerY = p.y();
  const int button = MouseButtonCode(event->button());
  if (button == 1) leftHeld_ = true;
  if (button != 0) sink_.Post(EventId::MouseDown, handle_, button);
  event->accept();
}

void QtCanvasWidget::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  pointerX = p.x();
  pointerY = p.y();
  const int button = MouseButtonCode(event->button());
  if (button == 1) leftHeld_ = false;
  if (button != 0) sink_.Post(EventId::MouseUp, handle_, button);
  event->accept();
}

void QtCanvasWidget::wheelEvent(QWheelEvent* event) {
  const int notches = TakeWheelNotches(wheelRemainder_, event->angleDelta().y(), event->inverted());
  if (notches != 0) sink_.Post(EventId::MouseWheel, handle_, notches);
  event->accept();
}

// ----- Application-wide events -------------------------------------------------

// The window that should have the keyboard while `window` was activated: the
// file requester's question, the requester, or the newest dialog open over
// the window. It is activated once Qt has finished the activation at hand.
void QtAppFilter::PassKeyboardOn(QtWindowWidget* window) {
  QWidget* front = nullptr;
  if (sink_.requester != nullptr && sink_.requester->isVisible()) {
    front = sink_.requester;
    for (QMessageBox* box : sink_.requester->findChildren<QMessageBox*>())
      if (box->isVisible()) front = box;
  } else {
    front = window->FrontDialog();
  }
  if (front == nullptr || front == window) return;
  QPointer<QWidget> target(front);
  QMetaObject::invokeMethod(
      front,
      [target] {
        if (target.isNull() || !target->isVisible()) return;
        target->raise();
        target->activateWindow();
      },
      Qt::QueuedConnection);
}

// The desktop's quit request is swallowed here (Qt would close every window)
// and handed to the program as AppTerminate. A key reaches the widget with
// the focus, else the window; for our windows it stops here, so that no
// button or check box reacts to Space, Tab or a shortcut. Other windows (the
// file requester) keep their keys.
bool QtAppFilter::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::Quit) {
    sink_.Post(EventId::AppTerminate, 0);
    return true;
  }
  if (type == QEvent::WindowActivate) {
    auto* window = dynamic_cast<QtWindowWidget*>(watched);
    if (window != nullptr && window->isWindow()) PassKeyboardOn(window);
  }
  const bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
                     type == QEvent::MouseButtonDblClick || type == QEvent::Wheel;
  if (mouse && sink_.requester != nullptr) {
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (widget != nullptr && dynamic_cast<QtWindowWidget*>(widget->window()) != nullptr) return true;
  }
  if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
    const auto* widget = qobject_cast<QWidget*>(watched);
    auto* window = widget != nullptr ? dynamic_cast<QtWindowWidget*>(widget->window()) : nullptr;
    if (window != nullptr) {
      if (type == QEvent::KeyPress) window->TakeKey(*static_cast<QKeyEvent*>(event));
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}
