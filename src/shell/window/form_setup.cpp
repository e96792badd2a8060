#include "shell/window/form_setup.h"

#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

void setupForm(QWidget* form, const char* name, const QString& caption, int width, int height) {
    form->setObjectName(name);
    form->setWindowTitle(caption);
    form->setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint);
    form->resize(width, height);
}

QLineEdit* formEdit(QWidget* parent, const char* name, int maxLength, int x, int y, int w) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setMaxLength(maxLength);
    e->setGeometry(x, y, w, 21);
    return e;
}

QPushButton* formButton(QWidget* parent, const char* name, const QString& text, int x, int y, int w) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setGeometry(x, y, w, 25);
    b->setAutoDefault(false);
    return b;
}
