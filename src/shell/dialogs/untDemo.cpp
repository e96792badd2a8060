#include "shell/dialogs/untDemo.h"

#include <QEvent>
#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "shell/main/demo.h"
#include "shell/window/form_setup.h"
#include "shell/window/mouse_pointer.h"

TfrmDemo* frmDemo = nullptr;

namespace {
constexpr int kWidth = 792;
constexpr int kHeight = 64;
}  // namespace

TfrmDemo::TfrmDemo(QWidget* parent) : QDialog(parent) {
    setupForm(this, "frmDemo", "Demo", kWidth, kHeight);
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    setFixedSize(kWidth, kHeight);
    lblTekst = new QLabel(this);
    lblTekst->setObjectName("lblTekst");
    lblTekst->setWordWrap(true);
    lblTekst->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblTekst->setGeometry(8, 2, 604, 60);
    lblDemoLoopt = new QLabel("DEMO LOOPT", this);
    lblDemoLoopt->setObjectName("lblDemoLoopt");
    QFont bold = lblDemoLoopt->font();
    bold.setBold(true);
    lblDemoLoopt->setFont(bold);
    lblDemoLoopt->setStyleSheet("color: red");
    lblDemoLoopt->setAlignment(Qt::AlignCenter);
    lblDemoLoopt->setGeometry(620, 2, 164, 18);
    btnVerder = new QPushButton("VERDER", this);
    btnVerder->setObjectName("btnVerder");
    btnVerder->setGeometry(620, 26, 80, 28);
    btnStop = new QPushButton("STOP", this);
    btnStop->setObjectName("btnStop");
    btnStop->setGeometry(704, 26, 80, 28);
    connect(btnVerder, &QPushButton::clicked, this, &TfrmDemo::btnVerderClick);
    connect(btnStop, &QPushButton::clicked, this, &TfrmDemo::btnStopClick);
}

void TfrmDemo::btnVerderClick() { runDemoStep(0); }

void TfrmDemo::btnStopClick() { runDemoStep(-1); }

void TfrmDemo::placeAtBottom() {
    const QScreen* screen = this->screen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QRect frame = frameGeometry();
    const int outerHeight = std::max(frame.height(), height());
    const int x = area.left() + std::max(0, (area.width() - frame.width()) / 2);
    const int y = std::max(area.top(), area.bottom() + 1 - outerHeight);
    move(x, y);
}

bool TfrmDemo::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) showMousePointer();
    return QDialog::event(event);
}
