#pragma once
// The Fusion style with one change: a group box's frame picture is decoded as the PNG it is, once.
// Fusion loads that picture by file name, which makes Qt ask every installed image plugin whether
// it reads the file (loading them all) while the first frame is painted. The frame is drawn as
// Fusion draws it: the picture's border around the box below its title.

#include <QProxyStyle>

namespace uhf {

class GroupFrameStyle : public QProxyStyle {
 public:
  GroupFrameStyle();
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;

 private:
  QPixmap frame_;
};

}  // namespace uhf
