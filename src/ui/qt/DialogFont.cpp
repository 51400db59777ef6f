#include "ui/qt/DialogFont.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QImageReader>
#include <QSet>
#include <QStringList>

#include "ui/qt/QtText.h"

namespace uhf {
namespace {

constexpr char16_t kChineseProbe = u'读';

// Whether a face is installed: looked up in the font database's family list, asked for once. A
// face that is not there is never probed (matching it would only find a substitute).
bool FaceInstalled(const QString& face) {
  static const QSet<QString> installed = [] {
    QSet<QString> names;
    for (const QString& family : QFontDatabase::families()) names.insert(family.toCaseFolded());
    return names;
  }();
  return installed.contains(face.toCaseFolded());
}

// An installed, proportional face that shows Chinese; empty when there is none.
QString ChineseFamily() {
  static const QString family = [] {
    for (const QString& candidate : QFontDatabase::families(QFontDatabase::SimplifiedChinese)) {
      if (QFontDatabase::isFixedPitch(candidate) || candidate.startsWith(u'@')) continue;
      if (QFontMetrics(QFont(candidate)).inFont(QChar(kChineseProbe))) return candidate;
    }
    return QString();
  }();
  return family;
}

}  // namespace

QFont MakeDialogFont(const std::string& face, int points) {
  const QString requested = ToQ(face);
  QFont font;
  font.setFamilies({requested});
  font.setPointSize(points);
  const bool installed = FaceInstalled(requested);
  if (!installed || !QFontMetrics(font).inFont(QChar(kChineseProbe))) {
    // Missing face: the Chinese face takes its place. Installed face without Chinese: it stays
    // first and the Chinese face supplies the characters it lacks.
    const QString chinese = ChineseFamily();
    if (!chinese.isEmpty()) {
      font.setFamilies(installed ? QStringList{requested, chinese} : QStringList{chinese});
    }
  }
  return font;
}

QPixmap EmbeddedPicture(const QString& name) {
  // The format is known, not guessed: guessing loads every image plugin to ask it.
  QImageReader reader(QStringLiteral(":/uhf/") + name, "png");
  reader.setAutoDetectImageFormat(false);
  return QPixmap::fromImage(reader.read());
}

QIcon ApplicationIcon(int largest) {
  QIcon icon;
  for (int size : {16, 32, 48, 256}) {
    if (size <= largest) {
      icon.addPixmap(EmbeddedPicture(QStringLiteral("app-icon-%1.png").arg(size)));
    }
  }
  return icon;
}

}  // namespace uhf
