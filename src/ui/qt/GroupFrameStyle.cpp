#include "ui/qt/GroupFrameStyle.h"

#include <qdrawutil.h>
#include <QApplication>
#include <QGroupBox>
#include <QImageReader>
#include <QPainter>
#include <QStyleOption>

namespace uhf {
namespace {

const QString kFusionFrame =
    QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png");
constexpr int kTitleGap = 3;  // between the title line and the frame

}  // namespace

GroupFrameStyle::GroupFrameStyle() : QProxyStyle(QApplication::style()->name()) {
  QImageReader reader(kFusionFrame, "png");
  reader.setAutoDetectImageFormat(false);
  frame_ = QPixmap::fromImage(reader.read());
}

void GroupFrameStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                    QPainter* painter, const QWidget* widget) const {
  if (element != PE_FrameGroupBox || frame_.isNull()) {
    return QProxyStyle::drawPrimitive(element, option, painter, widget);
  }
  int top = kTitleGap;
  const auto* group = qobject_cast<const QGroupBox*>(widget);
  if (group == nullptr || group->isCheckable() || !group->title().isEmpty()) {
    top += qMax(pixelMetric(PM_ExclusiveIndicatorHeight), option->fontMetrics.height());
  }
  qDrawBorderPixmap(painter, option->rect.adjusted(0, top, 0, 0), QMargins(6, 6, 6, 6), frame_);
}

}  // namespace uhf
