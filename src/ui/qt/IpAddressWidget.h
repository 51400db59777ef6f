#pragma once
// The IP address control: four fields of up to three digits, 0 to 255 each. A dot or the third
// digit moves on to the next field.

#include <QFrame>
#include <QLineEdit>

#include <array>

namespace uhf {

class IpField : public QLineEdit {
 public:
  explicit IpField(QWidget* parent);
  IpField* next = nullptr;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

class IpAddressWidget : public QFrame {
 public:
  explicit IpAddressWidget(QWidget* parent);
  std::array<IpField*, 4> fields{};
};

}  // namespace uhf
