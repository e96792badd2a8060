#include "shell/window/form_setup.h"

#include <QWidget>

void setupForm(QWidget* form, const char* name, const QString& caption, int width, int height) {
    form->setObjectName(name);
    form->setWindowTitle(caption);
    form->setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint);
    form->resize(width, height);
}
