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
// mouse rests on the button, an orange border. Clicks behave as for any push button.
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

  virtual void DrawFace(QPainter& painter, const QRect& rect);
  virtual void DrawBorder(QPainter& painter, const QRect& rect);

 private:
  void DrawCaption(QPainter& painter, const QRect& rect);
  void SetHovering(bool on);

  // Hover border, one pen per edge.
  QPen leftPen;
  QPen rightPen;
  QPen topPen;
  QPen bottomPen;
  // The mouse rests over the button. A disabled button shows no border even so, as the platform
  // sends no mouse input to a disabled control.
  bool hovering = false;
};

}  // namespace uhf
