#include "ui/qt/QtText.h"

#include <QFontMetrics>
#include <QLabel>
#include <QStringList>

#include <algorithm>

namespace uhf {

QString ToQ(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromQ(const QString& text) {
  return text.toUtf8().toStdString();
}

QString ToDisplay(std::string_view text) {
  QString out = ToQ(text);
  out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return out;
}

int CodePoints(const QString& text) {
  int count = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (!text.at(i).isLowSurrogate()) ++count;
  }
  return count;
}

int Utf16Index(const QString& text, int characters) {
  qsizetype pos = 0;
  for (int n = 0; n < characters && pos < text.size(); ++n) {
    pos += (text.at(pos).isHighSurrogate() && pos + 1 < text.size() &&
            text.at(pos + 1).isLowSurrogate())
               ? 2
               : 1;
  }
  return static_cast<int>(pos);
}

void ShowStaticText(QLabel* label, const QString& text) {
  const QStringList lines = text.split(u'\n');
  // Only a caption of several lines needs the font's metrics (which load the font).
  const int natural =
      lines.size() < 2 ? 0
                       : static_cast<int>(lines.size()) * QFontMetrics(label->font()).lineSpacing();
  if (lines.size() < 2 || natural <= label->height()) {
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    return;
  }
  const int percent = std::max(50, 100 * label->height() / natural);
  QStringList escaped;
  for (const QString& line : lines) escaped << line.toHtmlEscaped();
  label->setTextFormat(Qt::RichText);
  label->setText(QStringLiteral("<div style=\"line-height:%1%\">%2</div>")
                     .arg(percent)
                     .arg(escaped.join(QStringLiteral("<br>"))));
}

}  // namespace uhf
