#include "ui/qt/HoverButton.h"

#include <QEnterEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>

namespace uhf {
namespace {

QPen EdgePen(const HoverEdge& edge) {
  QPen pen{QColor(edge.colour.r, edge.colour.g, edge.colour.b)};
  pen.setWidth(edge.width);
  return pen;
}

// Paints one border edge with its pen's colour over exactly the pixels a wide pen of its width
// covers on that line (see WideLinePixels); a smoothed stroke would blur the one-pixel layout.
void PaintEdge(QPainter& painter, const QPen& pen, QPoint from, QPoint to) {
  const QRect pixels = HoverButton::WideLinePixels(from, to, pen.width());
  if (!pixels.isEmpty()) painter.fillRect(pixels, pen.color());
}

}  // namespace

HoverButton::HoverButton(QWidget* parent) : HoverButton(QString(), parent) {}

HoverButton::HoverButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent),
      leftPen(EdgePen(kHoverLeftEdge)),
      rightPen(EdgePen(kHoverRightEdge)),
      topPen(EdgePen(kHoverTopEdge)),
      bottomPen(EdgePen(kHoverBottomEdge)),
      focusLeftPen(EdgePen(kFocusLeftEdge)),
      focusRightPen(EdgePen(kFocusRightEdge)),
      focusTopPen(EdgePen(kFocusTopEdge)),
      focusBottomPen(EdgePen(kFocusBottomEdge)) {
  // The face covers every pixel, so nothing underneath needs painting first.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

HoverButton::~HoverButton() = default;

QPoint HoverButton::CaptionOrigin(const QRect& rect, int cx, int cy, bool pressed) {
  // Right and bottom are taken as one past the last pixel. C++ integer division
  // truncates toward zero, which is the rounding wanted here.
  const int left = rect.left();
  const int top = rect.top();
  const int right = left + rect.width();
  const int bottom = top + rect.height();
  int x = (left + right) / 2 - cx / 2;
  int y = (top + bottom) / 2 - cy / 2;
  if (pressed) {
    ++x;
    ++y;
  }
  return {x, y};
}

QRect HoverButton::WideLinePixels(QPoint from, QPoint to, int width) {
  if (width < 1) width = 1;
  // Across the line: `width` pixels centred on it, the extra one of an even width before it.
  const int acrossFirstOffset = -(width / 2);
  if (from.x() == to.x() && from.y() != to.y()) {
    // Vertical: rows from the start up to, not including, the end.
    const int firstRow = from.y() < to.y() ? from.y() : to.y() + 1;
    const int lastRow = from.y() < to.y() ? to.y() - 1 : from.y();
    return QRect(QPoint(from.x() + acrossFirstOffset, firstRow),
                 QPoint(from.x() + acrossFirstOffset + width - 1, lastRow));
  }
  if (from.y() == to.y() && from.x() != to.x()) {
    const int firstColumn = from.x() < to.x() ? from.x() : to.x() + 1;
    const int lastColumn = from.x() < to.x() ? to.x() - 1 : from.x();
    return QRect(QPoint(firstColumn, from.y() + acrossFirstOffset),
                 QPoint(lastColumn, from.y() + acrossFirstOffset + width - 1));
  }
  return {};
}

void HoverButton::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const QRect item = rect();
  painter.save();
  DrawFace(painter, item);
  const bool hover = hovering && isEnabled();
  // The focus shows once the keyboard has moved it in this window, as the platform's own buttons
  // show it; a window just opened or clicked shows none.
  const bool focused = hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange);
  if (hover || focused) DrawBorder(painter, item, focused && !hover);
  DrawCaption(painter, item);
  if (focused) DrawFocusRectangle(painter, item);
  painter.restore();
}

void HoverButton::DrawFace(QPainter& painter, const QRect& rect) {
  // An empty rectangle (a zero-height button) has no face to paint.
  if (rect.isEmpty()) return;
  painter.fillRect(rect, QColor::fromRgb(kFaceColour));
}

void HoverButton::DrawBorder(QPainter& painter, const QRect& rect, bool focused) {
  if (rect.isEmpty()) return;
  // Edges with right and bottom exclusive (one past the last pixel), so the bottom edge runs
  // along the row below the button and only its upper half shows.
  const int left = rect.left();
  const int top = rect.top();
  const int right = left + rect.width();
  const int bottom = top + rect.height();
  painter.save();
  painter.setClipRect(rect);
  PaintEdge(painter, focused ? focusLeftPen : leftPen, {left, bottom - 1}, {left, top + 1});
  PaintEdge(painter, focused ? focusRightPen : rightPen, {right - 1, bottom - 1}, {right - 1, top});
  PaintEdge(painter, focused ? focusTopPen : topPen, {left - 1, top}, {right - 1, top});
  PaintEdge(painter, focused ? focusBottomPen : bottomPen, {left, bottom}, {right - 1, bottom});
  painter.restore();
}

void HoverButton::DrawFocusRectangle(QPainter& painter, const QRect& rect) {
  const QRect focus =
      rect.adjusted(kFocusRectInset, kFocusRectInset, -kFocusRectInset, -kFocusRectInset);
  if (focus.isEmpty()) return;
  painter.save();
  painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  const QColor invert(Qt::white);
  // Clockwise round the outline, every other pixel, the first one at the top-left corner.
  int step = 0;
  const auto dot = [&](int x, int y) {
    if (step++ % 2 == 0) painter.fillRect(x, y, 1, 1, invert);
  };
  for (int x = focus.left(); x < focus.right(); ++x) dot(x, focus.top());
  for (int y = focus.top(); y < focus.bottom(); ++y) dot(focus.right(), y);
  for (int x = focus.right(); x > focus.left(); --x) dot(x, focus.bottom());
  for (int y = focus.bottom(); y > focus.top(); --y) dot(focus.left(), y);
  painter.restore();
}

void HoverButton::DrawCaption(QPainter& painter, const QRect& rect) {
  // Read at every paint, so a caption set after construction is what shows.
  const QString caption = text();
  if (caption.isEmpty()) return;
  painter.setFont(font());
  const QFontMetrics metrics(font());
  // The size of the caption as stored, ampersands included, positions it.
  const int cx = metrics.horizontalAdvance(caption);
  const int cy = metrics.height();
  const QPoint origin = CaptionOrigin(rect, cx, cy, isDown());
  constexpr int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic | Qt::TextDontClip;
  const QPalette& pal = palette();
  if (isEnabled()) {
    painter.setPen(pal.color(QPalette::ButtonText));
    painter.drawText(QRect(origin, QSize(cx, cy)), flags, caption);
    return;
  }
  // Embossed: a light copy one pixel down and right, the grey caption over it.
  painter.setPen(pal.color(QPalette::Disabled, QPalette::Light));
  painter.drawText(QRect(origin + QPoint(1, 1), QSize(cx, cy)), flags, caption);
  painter.setPen(pal.color(QPalette::Disabled, QPalette::Dark));
  painter.drawText(QRect(origin, QSize(cx, cy)), flags, caption);
}

void HoverButton::SetHovering(bool on) {
  if (hovering == on) return;
  hovering = on;
  update();
}

void HoverButton::enterEvent(QEnterEvent* event) {
  QPushButton::enterEvent(event);
  SetHovering(true);
}

void HoverButton::leaveEvent(QEvent* event) {
  QPushButton::leaveEvent(event);
  SetHovering(false);
}

void HoverButton::keyPressEvent(QKeyEvent* event) {
  // Enter clicks the focused button here, not only inside a dialog that passes it on; Space is
  // the push button's own.
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    if (isEnabled()) click();
    event->accept();
    return;
  }
  QPushButton::keyPressEvent(event);
}

void HoverButton::focusInEvent(QFocusEvent* event) {
  QPushButton::focusInEvent(event);
  update();
}

void HoverButton::focusOutEvent(QFocusEvent* event) {
  QPushButton::focusOutEvent(event);
  update();
}

}  // namespace uhf
