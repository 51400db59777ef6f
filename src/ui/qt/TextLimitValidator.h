#pragma once
// A single-line edit's text limit as the surface contract has it: typing cannot make the text
// longer than the limit, but a longer text set from code stays whole (and may be shortened by the
// operator).

#include <QValidator>

namespace uhf {

class TextLimitValidator : public QValidator {
 public:
  explicit TextLimitValidator(QObject* parent) : QValidator(parent) {}
  void SetLimit(int limit) { limit_ = limit; }  // characters; 0: no limit
  void SetCurrentLength(int length) { current_ = length; }
  State validate(QString& input, int& pos) const override;

 private:
  int limit_ = 0;
  int current_ = 0;
};

}  // namespace uhf
