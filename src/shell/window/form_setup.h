#pragma once
// The common set-up of the program's forms: name, caption, size and window kind.
#include <QString>

class QLineEdit;
class QPushButton;
class QWidget;

// A stay-on-top dialog window with the given caption and client size.
void setupForm(QWidget* form, const char* name, const QString& caption, int width, int height);
// A named line edit of the forms' standard height (21) holding at most maxLength characters.
QLineEdit* formEdit(QWidget* parent, const char* name, int maxLength, int x, int y, int w);
// A named push button of the forms' standard height (25) that Enter does not press by default.
QPushButton* formButton(QWidget* parent, const char* name, const QString& text, int x, int y, int w);
