#include "shell/window/widget_colours.h"

#include <QPalette>
#include <QWidget>

// A colour set to what the widget already has changes nothing: no new palette, no repaint. The cycle
// sets the control post's colours on every tick.
void setTextColour(QWidget* w, vestrel::TColor colour) {
    const QColor c = vestrel::toQColor(colour);
    if (w->testAttribute(Qt::WA_SetPalette) && w->palette().color(QPalette::WindowText) == c &&
        w->palette().color(QPalette::ButtonText) == c)
        return;
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, vestrel::toQColor(colour));
    p.setColor(QPalette::ButtonText, vestrel::toQColor(colour));
    w->setPalette(p);
}

void setBackColour(QWidget* w, vestrel::TColor colour) {
    if (w->testAttribute(Qt::WA_SetPalette) && w->autoFillBackground() &&
        w->palette().color(QPalette::Window) == vestrel::toQColor(colour))
        return;
    QPalette p = w->palette();
    p.setColor(QPalette::Window, vestrel::toQColor(colour));
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

vestrel::TColor textColour(const QWidget* w) { return vestrel::fromQColor(w->palette().color(QPalette::WindowText)); }
vestrel::TColor backColour(const QWidget* w) { return vestrel::fromQColor(w->palette().color(QPalette::Window)); }
