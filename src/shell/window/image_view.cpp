#include "shell/window/image_view.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <utility>

TImage::TImage(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TImage::updateDrawn() {
    for (const vestrel::Rect& r : Canvas.takeDrawnRects()) update(r.left, r.top, r.width(), r.height());
}

// Only the exposed part is copied: a tick that drew one train repaints just around it.
void TImage::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QImage& image = std::as_const(Canvas).image();
    for (const QRect& r : event->region()) p.drawImage(r.topLeft(), image, r);
}

void TImage::mousePressEvent(QMouseEvent* event) { emit mouseDown(event); }
void TImage::mouseMoveEvent(QMouseEvent* event) { emit mouseMove(event); }
void TImage::mouseReleaseEvent(QMouseEvent* event) { emit mouseUp(event); }

void resizeCanvasKeeping(vestrel::Canvas& canvas, int width, int height, vestrel::TColor fill) {
    if (!canvas.isNull() && canvas.width() == width && canvas.height() == height) return;
    const QImage old = canvas.image();
    canvas.resize(width, height, fill);
    if (!old.isNull()) {
        QPainter p(&canvas.image());
        p.drawImage(0, 0, old);
    }
}
