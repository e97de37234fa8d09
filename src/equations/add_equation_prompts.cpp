#include "equations/add_equation_prompts.h"

#include "platform/numeric_text.h"
#include "platform/error_report.h"

namespace equations {

QString equationPromptText() {
  return QStringLiteral("Please enter an Equation: ") + QStringLiteral("\r") +
         QStringLiteral("Example: cos(x) + x");
}

bool isAcceptedEquation(const QString& equation) {
  for (QChar c : equation)
    if (c != QLatin1Char(' ')) return true;
  return false;
}

QString askForNumericValue(platform::ErrorTrap& trap, const Prompt& prompt, const PromptLines& lines) {
  QString answer;
  const auto ask = [&] {
    answer = trap.dialogs().inputBox(QString::fromLatin1(prompt.text), QString::fromLatin1(prompt.title),
                                     QString::fromLatin1(prompt.defaultText));
  };
  trap.step(lines.ask, ask);
  while (trap.test(lines.test, [&] { return !platform::isNumeric(answer); })) trap.step(lines.askAgain, ask);
  return answer;
}

}  // namespace equations
