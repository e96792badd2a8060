#include "shell/window/control_highlight.h"

#include <QPainter>
#include <QVariant>
#include <QWidget>

namespace {

// A frame laid over the control so that the control's own painting does not wipe it out.
class HighlightFrame : public QWidget {
public:
    explicit HighlightFrame(QWidget* control) : QWidget(control) {
        setObjectName("highlightFrame");
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing, false);
        QPen pen(Qt::yellow, 2);
        pen.setJoinStyle(Qt::MiterJoin);
        p.setPen(pen);
        const int w = width(), h = height();
        const QPoint pts[] = {{1, 1}, {w - 1, 1}, {w - 1, h - 1}, {1, h - 1}, {1, 1}};
        p.drawPolyline(pts, 5);
    }
};

}  // namespace

void drawControlHighlight(QWidget* control, int on) {
    if (!control || control->property("Tag").toInt() == on) return;
    control->setProperty("Tag", on);
    auto* frame = control->findChild<QWidget*>("highlightFrame", Qt::FindDirectChildrenOnly);
    if (!frame) frame = new HighlightFrame(control);
    frame->setGeometry(control->rect());
    frame->setVisible(on != 0);
    frame->raise();
}
