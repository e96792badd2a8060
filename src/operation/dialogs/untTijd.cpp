#include "operation/dialogs/untTijd.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstdio>

#include "layout/model/parse_number.h"
#include "operation/control/emergency_stop.h"
#include "operation/engine/route_aspects.h"
#include "operation/engine/second_tick.h"
#include "operation/model/train_model.h"
#include "shell/config/config_file.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"
#include "shell/window/form_setup.h"

TfrmTijd* frmTijd = nullptr;

namespace {

QLabel* label(QWidget* parent, const char* name, const char* text, int x, int y) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->move(x, y);
    return l;
}

QLineEdit* maskedEdit(QWidget* parent, const char* name, int x, int y, int width) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setGeometry(x, y, width, 21);
    return e;
}

// A field of the time text "hh:mm:ss" (blanks where no digit was typed).
int timeField(const QString& text, int from) { return parseNumber(text.mid(from, 2).toStdString()); }

}  // namespace

TfrmTijd::TfrmTijd(QWidget* parent) : QDialog(parent) {
    setupForm(this, "frmTijd", "Tijd", 240, 140);
    lblTijd = label(this, "lblTijd", "Tijd", 10, 12);
    mskedtTijd = maskedEdit(this, "mskedtTijd", 80, 10, 70);
    lblTijdbasis = label(this, "lblTijdbasis", "Tijdbasis", 10, 42);
    mskedtTijdbasis = maskedEdit(this, "mskedtTijdbasis", 80, 40, 30);
    lblTijdbasisUitleg = label(this, "lblTijdbasisUitleg", "1 :  1s blijft 1s          60: 1s wordt 60s", 10, 70);
    btnOK = new QPushButton("OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setGeometry(10, 100, 75, 25);
    btnAnnuleren = new QPushButton("Annuleren", this);
    btnAnnuleren->setObjectName("btnAnnuleren");
    btnAnnuleren->setGeometry(95, 100, 75, 25);
    for (QPushButton* b : {btnOK, btnAnnuleren}) b->setAutoDefault(false);
    connect(btnOK, &QPushButton::clicked, this, &TfrmTijd::btnOKClick);
    connect(btnAnnuleren, &QPushButton::clicked, this, &TfrmTijd::btnAnnulerenClick);
    connect(mskedtTijdbasis, &QLineEdit::textChanged, this, &TfrmTijd::mskedtTijdbasisChange);
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
}

void TfrmTijd::FormActivate() {
    mskedtTijd->setInputMask("99:99:99");
    mskedtTijdbasis->setInputMask("99");
    char text[16];
    std::snprintf(text, sizeof text, "%2d:%2.2d:%2.2d", static_cast<int>(gModelClock.hours),
                  static_cast<int>(gModelClock.minutes), static_cast<int>(gModelClock.seconds));
    mskedtTijd->setText(text);
    mskedtTijdbasis->setText(QString::number(gTimeBase));
}

void TfrmTijd::mskedtTijdbasisChange() {
    const int value = parseNumber(mskedtTijdbasis->text().toStdString());
    if (value <= 0)
        mskedtTijdbasis->setText("1");
    else if (value > 60)
        mskedtTijdbasis->setText("60");
}

void TfrmTijd::btnOKClick() {
    gTimeBase = static_cast<uint8_t>(parseNumber(mskedtTijdbasis->text().toStdString()));
    syncConfigFile();
    // The shown text keeps its blanks, so each field stands at its own place.
    const QString time = mskedtTijd->displayText();
    const int hours = timeField(time, 0), minutes = timeField(time, 3), seconds = timeField(time, 6);
    if (hours <= 23 && minutes < 60 && seconds < 60) gModelClock = {hours, minutes, seconds};
    // Trains whose departure has come now start.
    for (LocoRec* l : gLocsOnTrack) updateTrainSchedule(l);
    close();
}

void TfrmTijd::btnAnnulerenClick() { close(); }

int TfrmTijd::FormKeyDown(int qtKey) {
    if (qtKey != Qt::Key_Space || !sessionRunning() || gEmergencyState != 0) return 0;
    emergencyStopAll(1);
    return 1;
}

void TfrmTijd::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

bool TfrmTijd::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && FormKeyDown(static_cast<QKeyEvent*>(event)->key())) return true;
    return QDialog::eventFilter(watched, event);
}
