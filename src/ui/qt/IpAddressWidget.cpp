#include "ui/qt/IpAddressWidget.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QValidator>

#include "text/DottedAddress.h"

namespace uhf {
namespace {

// One field: up to three digits, 0 to 255.
class IpFieldValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& /*pos*/) const override {
    return (input.isEmpty() || IsAddressField(input.toStdString())) ? Acceptable : Invalid;
  }
};

}  // namespace

IpField::IpField(QWidget* parent) : QLineEdit(parent) {
  setFrame(false);
  setAlignment(Qt::AlignCenter);
  setMaxLength(3);
  setValidator(new IpFieldValidator(this));
  connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (text.size() == 3 && next != nullptr) next->setFocus(Qt::TabFocusReason);
  });
}

void IpField::keyPressEvent(QKeyEvent* event) {
  if (event->text() == QStringLiteral(".")) {
    if (!text().isEmpty() && next != nullptr) next->setFocus(Qt::TabFocusReason);
    return;
  }
  QLineEdit::keyPressEvent(event);
}

IpAddressWidget::IpAddressWidget(QWidget* parent) : QFrame(parent) {
  setFrameShape(QFrame::StyledPanel);
  setFrameShadow(QFrame::Sunken);
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Base);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(2, 0, 2, 0);
  layout->setSpacing(0);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) layout->addWidget(new QLabel(QStringLiteral("."), this));
    fields[i] = new IpField(this);
    layout->addWidget(fields[i], 1);
    if (i > 0) fields[i - 1]->next = fields[i];
  }
  setFocusProxy(fields[0]);
}

}  // namespace uhf
