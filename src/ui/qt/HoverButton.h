#pragma once

#include <QPen>
#include <QPoint>
#include <QPushButton>
#include <QRect>
#include <QString>

#include "ui/HoverColours.h"

class QPainter;

namespace uhf {

// A push button that paints itself: a flat green face, the caption centred on it and, while the
// mouse rests on the button, an orange border; while it has the focus and the keyboard has moved
// the focus in its window, a blue border (the orange one wins while hovering) and a dotted focus
// rectangle. Clicks behave as for any push
// button; with the focus, Enter and Space click it.
class HoverButton : public QPushButton {
  Q_OBJECT

 public:
  explicit HoverButton(QWidget* parent = nullptr);
  explicit HoverButton(const QString& text, QWidget* parent = nullptr);
  ~HoverButton() override;

  // The whole face, in every state.
  static constexpr QRgb kFaceColour = qRgb(kHoverFace.r, kHoverFace.g, kHoverFace.b);

  bool isHovering() const { return hovering; }

  // Top-left corner of the caption for a button rectangle and a caption size (cx, cy), pressed
  // or not. The divisions truncate toward zero, so an odd leftover pixel goes right and down.
  static QPoint CaptionOrigin(const QRect& rect, int cx, int cy, bool pressed);

  // The pixels a wide pen paints for a horizontal or vertical line from `from` to `to`: the pen
  // is centred across the line (an even width puts its extra pixel on the top/left side) and
  // the end point is not painted. Lines of any other direction are not needed and give an empty
  // rectangle, as does a line whose two ends coincide.
  static QRect WideLinePixels(QPoint from, QPoint to, int width);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

  virtual void DrawFace(QPainter& painter, const QRect& rect);
  // The four edges in the hover pens, or in the focus pens when `focused` and not hovering.
  virtual void DrawBorder(QPainter& painter, const QRect& rect, bool focused = false);
  // The dotted focus rectangle, kFocusRectInset pixels inside `rect`: every other pixel of its
  // outline inverted, as the platform's focus rectangle draws it.
  static void DrawFocusRectangle(QPainter& painter, const QRect& rect);

 private:
  void DrawCaption(QPainter& painter, const QRect& rect);
  void SetHovering(bool on);

  // Hover border, one pen per edge.
  QPen leftPen;
  QPen rightPen;
  QPen topPen;
  QPen bottomPen;
  // Focus border, one pen per edge.
  QPen focusLeftPen;
  QPen focusRightPen;
  QPen focusTopPen;
  QPen focusBottomPen;
  // The mouse rests over the button. A disabled button shows no border even so, as the platform
  // sends no mouse input to a disabled control.
  bool hovering = false;
};

}  // namespace uhf
