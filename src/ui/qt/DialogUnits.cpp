#include "ui/qt/DialogUnits.h"

#include <QFontMetrics>
#include <QString>

namespace uhf {
namespace {

// value * numerator / denominator, rounded to the nearest integer, halves away from zero.
int MulDiv(int value, int numerator, int denominator) {
  const long long product = static_cast<long long>(value) * numerator;
  const long long half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator
                                       : (product - half) / denominator);
}

}  // namespace

DialogBaseUnits BaseUnitsOf(const QFont& font) {
  const QFontMetrics metrics(font);
  const int width = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return {(width / 26 + 1) / 2, metrics.height()};
}

QRect DialogUnitsToPixels(const DialogRect& rect, DialogBaseUnits units) {
  return QRect(MulDiv(rect.x, units.x, 4), MulDiv(rect.y, units.y, 8),
               MulDiv(rect.width, units.x, 4), MulDiv(rect.height, units.y, 8));
}

}  // namespace uhf
