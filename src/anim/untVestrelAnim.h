// The viewer's one window: it ticks the animation with its timer, passes keys on and shows the back buffer.
#pragma once

#include "anim_player.h"

#include <QTimer>
#include <QWidget>

class TfrmVestrelAnim : public QWidget {
    Q_OBJECT
public:
    explicit TfrmVestrelAnim(QWidget* parent = nullptr);

    AnimPlayer& player() { return animation; }
    QTimer* Timer1;

    void Timer1Timer();

protected:
    void keyPressEvent(QKeyEvent* event) override;  // FormKeyPress
    void paintEvent(QPaintEvent* event) override;

private:
    AnimPlayer animation;
};
