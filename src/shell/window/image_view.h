#pragma once
// An image component: shows its canvas and passes its mouse events on.
#include <QMouseEvent>
#include <QWidget>

#include "platform/canvas.h"

class TImage : public QWidget {
    Q_OBJECT
public:
    explicit TImage(QWidget* parent = nullptr);
    vestrel::Canvas Canvas;
    // Schedules a repaint of what was drawn on the canvas since the last call, and of nothing else.
    void updateDrawn();

signals:
    void mouseDown(QMouseEvent* event);
    void mouseMove(QMouseEvent* event);
    void mouseUp(QMouseEvent* event);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// Gives a canvas a new size, keeping what it shows in the part both sizes share.
void resizeCanvasKeeping(vestrel::Canvas& canvas, int width, int height, vestrel::TColor fill);
