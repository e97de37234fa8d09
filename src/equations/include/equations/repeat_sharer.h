#pragma once
// Long lists repeat the same start, end and step on row after row. Handing out the previous
// row's string when the text is the same again shares one copy instead of allocating millions.
#include <QString>
#include <QStringView>

namespace equations {

class RepeatSharer {
 public:
  const QString& share(QStringView text) {
    if (!hasLast_ || last_ != text) {
      last_ = text.toString();
      hasLast_ = true;
    }
    return last_;
  }

 private:
  QString last_;
  bool hasLast_ = false;  // so that the first empty text is a real (empty, not null) string too
};

}  // namespace equations
