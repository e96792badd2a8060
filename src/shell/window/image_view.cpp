#include "shell/window/image_view.h"

#include <QMouseEvent>
#include <QPainter>

TImage::TImage(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TImage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, Canvas.image());
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
