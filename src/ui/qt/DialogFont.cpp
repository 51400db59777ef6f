#include "ui/qt/DialogFont.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QStringList>

#include "ui/qt/QtText.h"

namespace uhf {
namespace {

constexpr char16_t kChineseProbe = u'读';

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
  const bool installed = QFontInfo(font).family().compare(requested, Qt::CaseInsensitive) == 0;
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

QIcon ApplicationIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 256}) {
    icon.addFile(QStringLiteral(":/uhf/app-icon-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

}  // namespace uhf
