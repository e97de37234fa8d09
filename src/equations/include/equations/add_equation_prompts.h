#pragma once
// The four prompts of Add Equation: the equation, then start, end and step values.
#include <QString>

namespace platform {
class ErrorTrap;
}

namespace equations {

struct Prompt {
  const char* text;
  const char* title;
  const char* defaultText;
};

QString equationPromptText();
inline constexpr char kEquationPromptTitle[] = "Enter Equation";
inline constexpr char kEquationPromptDefault[] = "sin(x) + x";

inline constexpr Prompt kStartPrompt{"Enter starting numerical value: ", "Start Value", "0"};
inline constexpr Prompt kEndPrompt{"Enter ending numerical value: ", "End Value", "20"};
inline constexpr Prompt kStepPrompt{"Enter steps value: ", "Step Value", ".01"};

// An equation is taken when something other than spaces was typed (Cancel gives empty text).
bool isAcceptedEquation(const QString& equation);

// The step lines of one value's prompt: the first ask, the numeric test, each ask again.
struct PromptLines {
  int ask, test, askAgain;
};

// Asks for a value until the answer is numeric and returns it exactly as typed.
QString askForNumericValue(platform::ErrorTrap& trap, const Prompt& prompt, const PromptLines& lines);

}  // namespace equations
