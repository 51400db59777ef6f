#include "ui/qt/HoverButton.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <memory>
#include <set>
#include <utility>

using uhf::HoverButton;

namespace {

constexpr QRgb kFace = qRgb(122, 192, 43);
constexpr QRgb kLeft = qRgb(250, 196, 88);
constexpr QRgb kRight = qRgb(251, 202, 106);
constexpr QRgb kTop = qRgb(252, 210, 121);
constexpr QRgb kBottom = qRgb(229, 151, 0);
constexpr QRgb kInk = qRgb(0, 0, 0);
constexpr QRgb kLight = qRgb(255, 255, 255);
constexpr QRgb kDark = qRgb(128, 128, 128);

using PixelSet = std::set<std::pair<int, int>>;

// A button with a fixed, unsmoothed font and a known palette, so that caption pixels are either
// ink or face and can be compared exactly.
std::unique_ptr<HoverButton> MakeButton(const QString& caption, int width = 80, int height = 30,
                                        QWidget* parent = nullptr) {
  auto button = std::make_unique<HoverButton>(caption, parent);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(12);
  font.setStyleStrategy(QFont::NoAntialias);
  button->setFont(font);
  QPalette palette = button->palette();
  palette.setColor(QPalette::ButtonText, QColor::fromRgb(kInk));
  palette.setColor(QPalette::WindowText, QColor::fromRgb(kInk));
  palette.setColor(QPalette::Disabled, QPalette::Light, QColor::fromRgb(kLight));
  palette.setColor(QPalette::Disabled, QPalette::Dark, QColor::fromRgb(kDark));
  button->setPalette(palette);
  button->resize(width, height);
  return button;
}

QImage Grab(QWidget& widget) {
  return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QRgb At(const QImage& image, int x, int y) {
  return image.pixel(x, y);
}

void SendEnter(QWidget& widget) {
  const QPointF inside(2, 2);
  QEnterEvent event(inside, inside, widget.mapToGlobal(inside));
  QApplication::sendEvent(&widget, &event);
}

void SendLeave(QWidget& widget) {
  QEvent event(QEvent::Leave);
  QApplication::sendEvent(&widget, &event);
}

// Pixels of `image` in colour `colour`.
PixelSet PixelsOf(const QImage& image, QRgb colour) {
  PixelSet found;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (At(image, x, y) == colour) found.insert({x, y});
  return found;
}

PixelSet NotFace(const QImage& image) {
  PixelSet found;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (At(image, x, y) != kFace) found.insert({x, y});
  return found;
}

PixelSet Shifted(const PixelSet& pixels, int dx, int dy) {
  PixelSet moved;
  for (const auto& [x, y] : pixels) moved.insert({x + dx, y + dy});
  return moved;
}

// What the hover border shows at (x, y) of a w x h button without caption: left, right, top and
// bottom edges are painted in that order, each later one over the earlier ones.
QRgb ExpectedHoverPixel(int x, int y, int w, int h) {
  if (w >= 2 && y == h - 1 && x <= w - 2) return kBottom;
  if (y == 0 && x <= w - 2) return kTop;
  if (h >= 2 && x >= w - 2 && y >= 1) return kRight;
  // The left edge runs up from the last row to row 1, end row excluded; on a one-row button it
  // runs downwards from row 0 instead.
  if (x <= 1 && ((h >= 3 && y >= 2) || (h == 1 && y == 0))) return kLeft;
  return kFace;
}

// Exposes the painting steps to check them on a bare image.
class PaintProbe : public HoverButton {
 public:
  using HoverButton::DrawBorder;
  using HoverButton::DrawFace;
};

TEST(HoverButtonGeometry, WideLinePixelsCentresThePenAndLeavesTheEndPointOut) {
  struct Case {
    QPoint from, to;
    int width;
    QRect expected;
  };
  const Case cases[] = {
      // Width 3 spans one pixel either side; the upward line paints its start row, not its end.
      {{0, 29}, {0, 1}, 3, QRect(QPoint(-1, 2), QPoint(1, 29))},
      {{79, 29}, {79, 0}, 3, QRect(QPoint(78, 1), QPoint(80, 29))},
      // Width 2 puts its second pixel above the line.
      {{-1, 0}, {79, 0}, 2, QRect(QPoint(-1, -1), QPoint(78, 0))},
      {{0, 30}, {79, 30}, 2, QRect(QPoint(0, 29), QPoint(78, 30))},
      // Downward and leftward lines paint from their start up to, not including, their end.
      {{5, 1}, {5, 4}, 1, QRect(QPoint(5, 1), QPoint(5, 3))},
      {{9, 7}, {3, 7}, 4, QRect(QPoint(4, 5), QPoint(9, 8))},
      // Nothing for a line of no length or a slanted one.
      {{4, 4}, {4, 4}, 3, QRect()},
      {{0, 0}, {5, 5}, 2, QRect()},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HoverButton::WideLinePixels(c.from, c.to, c.width), c.expected)
        << "from (" << c.from.x() << "," << c.from.y() << ") to (" << c.to.x() << "," << c.to.y()
        << ") width " << c.width;
  }
}

TEST(HoverButtonGeometry, CaptionOriginTruncatesTowardZero) {
  struct Case {
    QRect rect;
    int cx, cy;
    bool pressed;
    QPoint expected;
  };
  // Worked by hand: the centre of the rectangle less half the caption, both halves truncated.
  const Case cases[] = {
      {QRect(0, 0, 80, 30), 41, 15, false, {20, 8}},
      {QRect(0, 0, 80, 30), 41, 15, true, {21, 9}},  // pressed: one pixel right and down
      {QRect(0, 0, 81, 29), 10, 10, false, {35, 9}},
      // Caption wider and taller than the button: the origin goes negative.
      {QRect(0, 0, 10, 6), 15, 13, false, {-2, -3}},
      // A centre of -3 / 2 is -1 (toward zero); flooring would give -2 and the origin -3.
      {QRect(-3, -5, 3, 4), 2, 2, false, {-2, -4}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HoverButton::CaptionOrigin(c.rect, c.cx, c.cy, c.pressed), c.expected)
        << "rect " << c.rect.x() << "," << c.rect.y() << " " << c.rect.width() << "x"
        << c.rect.height() << " caption " << c.cx << "x" << c.cy;
  }
}

TEST(HoverButtonPaint, PlainLookIsAFlatGreenFace) {
  auto button = MakeButton(QString());
  EXPECT_EQ(NotFace(Grab(*button)).size(), 0u);

  // With a caption the face still reaches every edge of the button.
  auto captioned = MakeButton(QStringLiteral("Connect"));
  const QImage image = Grab(*captioned);
  for (int x = 0; x < image.width(); ++x) {
    EXPECT_EQ(At(image, x, 0), kFace) << x;
    EXPECT_EQ(At(image, x, image.height() - 1), kFace) << x;
  }
  for (int y = 0; y < image.height(); ++y) {
    EXPECT_EQ(At(image, 0, y), kFace) << y;
    EXPECT_EQ(At(image, image.width() - 1, y), kFace) << y;
  }
  EXPECT_FALSE(PixelsOf(image, kInk).empty());
}

TEST(HoverButtonPaint, HoverDrawsTheFourEdgesAndLeaveRemovesThem) {
  const QSize sizes[] = {{80, 30}, {7, 5}, {3, 3}, {2, 2}, {1, 1}, {4, 1}};
  for (const QSize size : sizes) {
    SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
    auto button = MakeButton(QString(), size.width(), size.height());
    const QImage plain = Grab(*button);

    SendEnter(*button);
    EXPECT_TRUE(button->isHovering());
    const QImage hover = Grab(*button);
    int mismatches = 0;
    for (int y = 0; y < size.height(); ++y)
      for (int x = 0; x < size.width(); ++x)
        if (At(hover, x, y) != ExpectedHoverPixel(x, y, size.width(), size.height())) {
          if (++mismatches <= 5) ADD_FAILURE() << "pixel (" << x << "," << y << ")";
        }
    EXPECT_EQ(mismatches, 0);

    SendLeave(*button);
    EXPECT_FALSE(button->isHovering());
    EXPECT_EQ(Grab(*button), plain);
  }
}

TEST(HoverButtonPaint, RealMouseMovesSwitchTheHoverLook) {
  QWidget window;
  window.resize(200, 100);
  auto button = MakeButton(QStringLiteral("Connect"), 80, 30, &window);
  button->move(50, 30);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  const QImage plain = Grab(*button);

  QTest::mouseMove(button.get(), QPoint(40, 15));
  EXPECT_TRUE(button->isHovering());
  EXPECT_EQ(At(Grab(*button), 0, 15), kLeft);

  QTest::mouseMove(&window, QPoint(5, 5));
  EXPECT_FALSE(button->isHovering());
  EXPECT_EQ(Grab(*button), plain);
}

TEST(HoverButtonPaint, PressingMovesOnlyTheCaptionByOnePixel) {
  auto button = MakeButton(QStringLiteral("Connect"));
  SendEnter(*button);
  const QImage released = Grab(*button);
  button->setDown(true);
  const QImage pressed = Grab(*button);
  ASSERT_NE(released, pressed);

  // The border ring is the same; the caption pixels moved right and down by exactly one.
  const int w = released.width(), h = released.height();
  for (int x = 0; x < w; ++x)
    for (int y : {0, 1, h - 2, h - 1}) EXPECT_EQ(At(pressed, x, y), At(released, x, y));
  for (int y = 0; y < h; ++y)
    for (int x : {0, 1, 2, w - 3, w - 2, w - 1}) EXPECT_EQ(At(pressed, x, y), At(released, x, y));

  const PixelSet inkReleased = PixelsOf(released, kInk);
  ASSERT_FALSE(inkReleased.empty());
  EXPECT_EQ(PixelsOf(pressed, kInk), Shifted(inkReleased, 1, 1));
  // Nothing else on the face changed.
  for (int y = 2; y < h - 2; ++y)
    for (int x = 3; x < w - 3; ++x)
      if (!inkReleased.count({x - 1, y - 1})) {
        EXPECT_EQ(At(pressed, x, y), kFace) << x << "," << y;
      }
}

TEST(HoverButtonPaint, DisabledCaptionIsEmbossedOnTheSameFace) {
  auto button = MakeButton(QStringLiteral("Save Changes"), 100, 30);
  const PixelSet ink = PixelsOf(Grab(*button), kInk);
  ASSERT_FALSE(ink.empty());

  button->setEnabled(false);
  const QImage disabled = Grab(*button);
  // Grey caption exactly where the enabled one was, its white copy one pixel down and right
  // showing wherever the grey does not cover it, green everywhere else.
  EXPECT_EQ(PixelsOf(disabled, kDark), ink);
  PixelSet light;
  for (const auto& p : Shifted(ink, 1, 1))
    if (!ink.count(p)) light.insert(p);
  EXPECT_FALSE(light.empty());
  EXPECT_EQ(PixelsOf(disabled, kLight), light);
  EXPECT_EQ(NotFace(disabled).size(), ink.size() + light.size());
  EXPECT_EQ(At(disabled, 0, 0), kFace);
}

TEST(HoverButtonPaint, DisabledButtonShowsNoBorderUntilEnabledAgain) {
  auto button = MakeButton(QString());
  button->setEnabled(false);
  SendEnter(*button);
  EXPECT_EQ(NotFace(Grab(*button)).size(), 0u);
  button->setEnabled(true);
  EXPECT_EQ(At(Grab(*button), 0, 15), kLeft);
}

TEST(HoverButtonPaint, AmpersandUnderlinesAndCountsInTheCentring) {
  auto plainButton = MakeButton(QStringLiteral("Save"));
  auto mnemonicButton = MakeButton(QStringLiteral("&Save"));
  const QFontMetrics metrics(plainButton->font());
  const int plainX = 40 - metrics.horizontalAdvance(QStringLiteral("Save")) / 2;
  const int mnemonicX = 40 - metrics.horizontalAdvance(QStringLiteral("&Save")) / 2;
  const int shift = plainX - mnemonicX;
  ASSERT_GT(shift, 0);

  const PixelSet plainInk = PixelsOf(Grab(*plainButton), kInk);
  const PixelSet mnemonicInk = PixelsOf(Grab(*mnemonicButton), kInk);
  ASSERT_FALSE(plainInk.empty());
  // The letters sit `shift` pixels further left; the '&' itself is not drawn, and what is added
  // is the underline below the letters.
  const PixelSet letters = Shifted(plainInk, -shift, 0);
  int lowestLetterRow = 0;
  for (const auto& p : letters) {
    EXPECT_TRUE(mnemonicInk.count(p)) << p.first << "," << p.second;
    lowestLetterRow = std::max(lowestLetterRow, p.second);
  }
  int underline = 0;
  for (const auto& p : mnemonicInk) {
    if (letters.count(p)) continue;
    ++underline;
    EXPECT_GT(p.second, lowestLetterRow) << p.first << "," << p.second;
  }
  EXPECT_GT(underline, 0);
}

TEST(HoverButtonPaint, CaptionIsReadAtEveryPaint) {
  auto button = MakeButton(QStringLiteral("Connect"));
  const QImage before = Grab(*button);
  button->setText(QStringLiteral("Read Tag"));
  const QImage after = Grab(*button);
  EXPECT_NE(before, after);
  EXPECT_EQ(after, Grab(*MakeButton(QStringLiteral("Read Tag"))));
}

TEST(HoverButtonPaint, ZeroHeightButtonPaintsNothing) {
  QWidget window;
  window.resize(120, 60);
  auto button = MakeButton(QStringLiteral("Connect"), 80, 0, &window);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  SendEnter(*button);
  button->setDown(true);
  button->repaint();
  EXPECT_TRUE(button->grab().isNull());

  QImage canvas(20, 10, QImage::Format_RGB32);
  canvas.fill(Qt::blue);
  PaintProbe probe;
  {
    QPainter painter(&canvas);
    probe.DrawFace(painter, QRect(0, 0, 20, 0));
    probe.DrawBorder(painter, QRect(0, 0, 20, 0));
  }
  EXPECT_EQ(PixelsOf(canvas, qRgb(0, 0, 255)).size(), 200u);
}

TEST(HoverButtonBehaviour, KeyboardFocusShowsBlueEdgesAndADottedRectangleUntilItLeaves) {
  constexpr QRgb kFocusLeft = qRgb(153, 198, 252);
  constexpr QRgb kFocusRight = qRgb(162, 189, 252);
  constexpr QRgb kFocusTopBottom = qRgb(162, 201, 255);
  constexpr QRgb kDot = kFace ^ 0xFFFFFFu;  // the face inverted
  QWidget window;
  window.resize(200, 100);
  auto button = MakeButton(QString(), 80, 30, &window);
  auto other = MakeButton(QStringLiteral("Other"), 80, 30, &window);
  button->move(10, 10);  // away from where the pointer may rest
  other->move(100, 50);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  SendLeave(*button);
  button->setFocus(Qt::OtherFocusReason);
  // Focus given by the program (or a click) shows nothing: the keyboard has not been used.
  const QImage unfocused = Grab(*button);
  EXPECT_TRUE(NotFace(unfocused).empty());
  other->setFocus(Qt::OtherFocusReason);
  EXPECT_EQ(Grab(*button), unfocused);

  QTest::keyClick(other.get(), Qt::Key_Tab);
  ASSERT_TRUE(button->hasFocus());
  const QImage focused = Grab(*button);
  EXPECT_EQ(At(focused, 0, 15), kFocusLeft);
  EXPECT_EQ(At(focused, 79, 15), kFocusRight);
  EXPECT_EQ(At(focused, 40, 0), kFocusTopBottom);
  EXPECT_EQ(At(focused, 40, 29), kFocusTopBottom);
  // The dotted outline 4 pixels in: every other pixel of it inverted, the rest face.
  const int inset = uhf::kFocusRectInset;
  for (int x = inset; x < 80 - inset - 1; ++x) {
    EXPECT_EQ(At(focused, x, inset), (x - inset) % 2 == 0 ? kDot : kFace) << "top, x " << x;
  }
  for (int y = inset; y < 30 - inset - 1; ++y) {
    const QRgb left = At(focused, inset, y);
    EXPECT_TRUE(left == kDot || left == kFace) << "left, y " << y;
  }
  EXPECT_EQ(PixelsOf(focused, kDot).size(),
            static_cast<std::size_t>((80 - 2 * inset - 1) + (30 - 2 * inset - 1)));
  EXPECT_EQ(At(focused, 40, 15), kFace);  // inside the outline the face stays

  // The mouse over the focused button: orange edges, the outline still there.
  SendEnter(*button);
  const QImage both = Grab(*button);
  EXPECT_EQ(At(both, 0, 15), kLeft);
  EXPECT_EQ(At(both, inset, inset), kDot);
  SendLeave(*button);

  other->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(Grab(*button), unfocused);
}

TEST(HoverButtonBehaviour, EnterAndSpaceOnTheFocusedButtonClickIt) {
  struct Case {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool enabled;
    int clicks;
  };
  const Case cases[] = {
      {Qt::Key_Return, Qt::NoModifier, true, 1},      {Qt::Key_Enter, Qt::KeypadModifier, true, 1},
      {Qt::Key_Space, Qt::NoModifier, true, 1},       {Qt::Key_Return, Qt::NoModifier, false, 0},
      {Qt::Key_Return, Qt::ControlModifier, true, 0},
  };
  for (const Case& tc : cases) {
    QWidget window;
    auto button = MakeButton(QStringLiteral("Connect"), 80, 30, &window);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    button->setFocus(Qt::TabFocusReason);
    button->setEnabled(tc.enabled);
    QSignalSpy clicked(button.get(), &QAbstractButton::clicked);
    QTest::keyClick(button.get(), tc.key, tc.modifiers);
    EXPECT_EQ(clicked.count(), tc.clicks) << "key " << tc.key << " modifiers " << tc.modifiers;
  }
}

TEST(HoverButtonBehaviour, ClicksReachTheOwnerAsForAPushButton) {
  QWidget window;
  auto button = MakeButton(QStringLiteral("Connect"), 80, 30, &window);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QSignalSpy clicked(button.get(), &QAbstractButton::clicked);
  QTest::mouseClick(button.get(), Qt::LeftButton, {}, QPoint(40, 15));
  EXPECT_EQ(clicked.count(), 1);

  button->setEnabled(false);
  QTest::mouseClick(button.get(), Qt::LeftButton, {}, QPoint(40, 15));
  EXPECT_EQ(clicked.count(), 1);
}

}  // namespace
