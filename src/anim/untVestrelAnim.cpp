#include "untVestrelAnim.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPainter>
#include <QRandomGenerator>

namespace {

uint32_t steadyMilliseconds() {
    static QElapsedTimer clock;
    if (!clock.isValid()) clock.start();
    return static_cast<uint32_t>(clock.elapsed());
}

}  // namespace

TfrmVestrelAnim::TfrmVestrelAnim(QWidget* parent)
    : QWidget(parent), Timer1(new QTimer(this)),
      animation(656, 516, steadyMilliseconds, [] { return QRandomGenerator::global()->generate(); }) {
    setObjectName("frmVestrelAnim");
    setWindowTitle("Vestrel animatie");
    setFixedSize(656, 516);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    Timer1->setObjectName("Timer1");
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(15);
    connect(Timer1, &QTimer::timeout, this, &TfrmVestrelAnim::Timer1Timer);
    Timer1->start();
}

void TfrmVestrelAnim::Timer1Timer() {
    animation.Timer1Timer();
    if (animation.closeRequested()) {
        Timer1->stop();
        close();
        return;
    }
    update();
}

// Only keys that type a character count, as a key press gives them; Esc is one of them.
void TfrmVestrelAnim::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        animation.FormKeyPress(AnimPlayer::kEsc);
    } else if (!event->text().isEmpty()) {
        animation.FormKeyPress(event->text().at(0).unicode() & 0xFF);
    } else {
        QWidget::keyPressEvent(event);
    }
}

void TfrmVestrelAnim::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, animation.backBuffer());
}
