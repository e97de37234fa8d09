#pragma once
// Reading and narrowing Qt style sheets as plain text: the skin file is one, and a skin can be
// limited to the window itself or to the program's dialogs by rewriting its selectors.
#include <QString>
#include <functional>
#include <optional>

namespace app::style_sheet {

// Why the text cannot be a style sheet (unbalanced braces, an unclosed comment or string), or
// nothing when its structure is sound. Declarations are left to Qt's own parser.
std::optional<QString> structuralError(const QString& sheet);

// True when the sheet holds no rule at all (only white space and comments).
bool isBlank(const QString& sheet);

// Rewrites every selector of every rule; a selector mapped to an empty text is dropped, and a rule
// left with no selector is dropped with its block. Comments outside blocks are dropped.
// Expects a sheet without structural errors.
using SelectorMap = std::function<QStringList(const QString& selector)>;
QString rewriteSelectors(const QString& sheet, const SelectorMap& map);

// Adds "#id" to the last compound selector, after its type: "QPushButton:hover" with "Form1"
// gives "QPushButton#Form1:hover", so the rule matches the object of that name only.
QString withObjectName(const QString& selector, const QString& id);

// Rules narrowed to dialogs: the controls inside any QDialog, and the dialog itself for rules
// that address every widget ("*", "QWidget" or no type).
QStringList forDialogs(const QString& selector);

}  // namespace app::style_sheet
