#pragma once
// The common set-up of the program's forms: name, caption, size and window kind.
#include <QString>

class QWidget;

// A stay-on-top dialog window with the given caption and client size.
void setupForm(QWidget* form, const char* name, const QString& caption, int width, int height);
