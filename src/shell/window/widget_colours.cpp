#include "shell/window/widget_colours.h"

#include <QPalette>
#include <QWidget>

void setTextColour(QWidget* w, vestrel::TColor colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, vestrel::toQColor(colour));
    p.setColor(QPalette::ButtonText, vestrel::toQColor(colour));
    w->setPalette(p);
}

void setBackColour(QWidget* w, vestrel::TColor colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, vestrel::toQColor(colour));
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

vestrel::TColor textColour(const QWidget* w) { return vestrel::fromQColor(w->palette().color(QPalette::WindowText)); }
vestrel::TColor backColour(const QWidget* w) { return vestrel::fromQColor(w->palette().color(QPalette::Window)); }
