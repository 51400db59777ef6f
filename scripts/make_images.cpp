// Draws the application icon and the banner picture into resources/.
// Build and run once (outputs are committed):
//   g++ -std=c++20 -fPIC scripts/make_images.cpp $(pkg-config --cflags --libs Qt6Gui) \
//       -o /tmp/make_images && QT_QPA_PLATFORM=offscreen /tmp/make_images resources
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QString>

namespace {

// A reader (rounded box) sending radio waves towards a tag card.
void DrawMark(QPainter& p, const QRectF& area) {
  const qreal s = qMin(area.width(), area.height());
  const QPointF o = area.topLeft() + QPointF((area.width() - s) / 2, (area.height() - s) / 2);
  auto at = [&](qreal x, qreal y) { return o + QPointF(x * s, y * s); };

  // Reader body
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 52, 64));
  p.drawRoundedRect(QRectF(at(0.10, 0.30), QSizeF(0.28 * s, 0.44 * s)), 0.05 * s, 0.05 * s);
  p.setBrush(QColor(154, 205, 50));
  p.drawEllipse(QRectF(at(0.20, 0.40), QSizeF(0.08 * s, 0.08 * s)));

  // Waves
  QPen wave(QColor(255, 255, 255), qMax<qreal>(1.0, 0.045 * s), Qt::SolidLine, Qt::RoundCap);
  p.setPen(wave);
  p.setBrush(Qt::NoBrush);
  for (int i = 0; i < 3; ++i) {
    const qreal r = (0.12 + 0.09 * i) * s;
    const QPointF c = at(0.40, 0.52);
    p.drawArc(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), -45 * 16, 90 * 16);
  }

  // Tag card
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 196, 88));
  p.drawRoundedRect(QRectF(at(0.70, 0.32), QSizeF(0.20 * s, 0.40 * s)), 0.03 * s, 0.03 * s);
  p.setBrush(QColor(229, 151, 0));
  p.drawRect(QRectF(at(0.75, 0.42), QSizeF(0.10 * s, 0.08 * s)));
}

QImage Icon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, 0, size);
  g.setColorAt(0, QColor(52, 140, 200));
  g.setColorAt(1, QColor(25, 90, 150));
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawRoundedRect(QRectF(0.5, 0.5, size - 1.0, size - 1.0), size * 0.18, size * 0.18);
  DrawMark(p, QRectF(0, 0, size, size));
  return image;
}

QImage Banner(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, width, height);
  g.setColorAt(0, QColor(25, 90, 150));
  g.setColorAt(1, QColor(122, 192, 43));
  p.fillRect(image.rect(), g);
  DrawMark(p, QRectF(width * 0.1, 0, width * 0.8, height));
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("resources");
  bool ok = true;
  for (int size : {16, 32, 48, 256}) {
    ok = Icon(size).save(dir + QStringLiteral("/app-icon-%1.png").arg(size)) && ok;
  }
  ok = Banner(240, 160).save(dir + QStringLiteral("/banner.png")) && ok;
  return ok ? 0 : 1;
}
