#pragma once

#include <QString>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QWidget;

namespace kzm {

// The small pieces every form is made of, named so that tests find them by object name.

// A button that is never the dialog's default (Enter belongs to the field or grid it is in).
QPushButton* MakeButton(const QString& text, const QString& name, QWidget* parent);
QSpinBox* MakeSpin(const QString& name, int min, int max, int step, QWidget* parent);
QLineEdit* MakeEdit(const QString& name, QWidget* parent);
// A field that shows a value and takes no focus.
QLineEdit* MakeReadOnly(const QString& name, QWidget* parent);
QCheckBox* MakeCheck(const QString& text, const QString& name, QWidget* parent);

// A warning box with an OK button; CR LF in the text as line ends.
void WarnBox(QWidget* parent, const QString& title, const QString& text);
// A question box answered Yes or No; true for Yes.
bool AskBox(QWidget* parent, const QString& title, const QString& text);

// Keeps what is typed into a field in upper or lower case.
void ForceCase(QLineEdit* edit, bool upper);

// The key filters a field applies to each typed character: digits and the number characters
// (DigitKeyFilter), or those and a decimal point typed as "." or "," (DecimalKeyFilter).
enum class KeyFilter { Digits, Decimal };
void FilterKeys(QLineEdit* edit, KeyFilter filter);

} // namespace kzm
