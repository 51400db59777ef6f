#include "ui/qt/TextLimitValidator.h"

#include "ui/qt/QtText.h"

namespace uhf {

QValidator::State TextLimitValidator::validate(QString& input, int& /*pos*/) const {
  const int length = CodePoints(input);
  return (limit_ > 0 && length > limit_ && length > current_) ? Invalid : Acceptable;
}

}  // namespace uhf
