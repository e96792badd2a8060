#include "operation/dialogs/untCurve.h"

#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <algorithm>

#include "layout/model/parse_number.h"
#include "link/buffers/link_buffers.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "operation/control/dialog_refresh.h"
#include "operation/control/emergency_stop.h"
#include "operation/control/loco_operation.h"
#include "operation/engine/helper_locos.h"
#include "operation/engine/speed_calibration.h"
#include "operation/model/speed_curve.h"
#include "operation/model/train_model.h"
#include "shell/config/help.h"
#include "shell/config/messages.h"
#include "shell/dialogs/untBevestig.h"
#include "shell/model/app_state.h"
#include "shell/window/form_setup.h"
#include "shell/window/widget_colours.h"

TfrmCurve* frmCurve = nullptr;
LocoRec* gCurveLoco = nullptr;
int32_t gCurveStep = 1;
CurveBackup gCurveBackup;

namespace {

constexpr int kLeft = 36;     // x of step 0
constexpr int kRight = 288;   // x end of the field
constexpr int kBottom = 127;  // y of 0 km/h
constexpr int kStapWidth = 24;
constexpr uint8_t kCurveChanged = 0x08;
constexpr int kHelpTopic = 15;

// Speed steps of the locomotive, 0 when its table cannot be shown (a damaged file).
int curveSteps(const LocoRec* loco) {
    const int n = loco ? loco->run.speedSteps : 0;
    return (n == 14 || n == 27 || n == 28 || n == 126) ? n : 0;
}
int pitchOf(int n) { return n > 0 ? 252 / n : 0; }
int stepValue(const LocoRec* loco, int step) { return loco->speedTable[pitchOf(curveSteps(loco)) * step / 2]; }
int yOf(int v) { return (255 - v) / 2; }

QLabel* addLabel(QWidget* parent, const char* name, const QString& text, int x, int y, int w = 40) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(x, y, w, 16);
    return l;
}

QLineEdit* addEdit(QWidget* parent, const char* name, int x, int y) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setMaxLength(3);
    e->setGeometry(x, y, 40, 21);
    return e;
}

const char* edgeCaption() { return gCalNegativeEdge ? "uitrijden neg.flank" : "uitrijden pos.flank"; }
const char* wayCaption() { return gCalOneWay ? "enkel vooruit" : "vooruit/achteruit"; }

// 2/38: the 127 table entries, a spare byte and the maximum speed.
int queueSpeedCurveRecord(int role, const LocoRec& loco) {
    uint8_t bytes[130] = {};
    for (int j = 0; j < kSpeedTableSize; ++j) bytes[j] = loco.speedTable[j];
    bytes[128] = static_cast<uint8_t>(loco.run.maxSpeed & 0xFF);
    bytes[129] = static_cast<uint8_t>((loco.run.maxSpeed >> 8) & 0xFF);
    return netQueueBlobRecord(role, 2, 38, loco.number, loco.slot, bytes, sizeof bytes);
}

void speedLineHook(const LocoRec* loco, int erase) {
    if (loco && loco == gCurveLoco) drawLinearSpeedLine(erase);
}

}  // namespace

TfrmCurve::TfrmCurve(QWidget* parent) : TFormDialog(parent) {
    setupForm(this, "frmCurve", "Snelheidscurve", kStapWidth / 2 + kRight, 320);
    graph.resize(width(), kBottom + 1, vestrel::clBtnFace);
    lblStapTekst = addLabel(this, "lblStapTekst", "stap", 2, 130, 32);
    lblStap = addLabel(this, "lblStap", "", kLeft, 130, kStapWidth);
    lblKm_h = addLabel(this, "lblKm_h", "km/h", 2, 148, 32);
    for (QLabel* caption : {lblStapTekst, lblKm_h}) caption->resize(caption->sizeHint().width(), caption->height());
    lblSnelh = addLabel(this, "lblSnelh", "", kLeft, 148, kStapWidth);
    lblSnelh->setToolTip("km/h");
    for (QLabel* l : {lblStap, lblSnelh}) {
        setBackColour(l, vestrel::clYellow);
        l->setAlignment(Qt::AlignCenter);
        l->installEventFilter(this);
    }
    lblLocTekst = addLabel(this, "lblLocTekst", "Loc.", 4, 172, 30);
    lblLoc = addLabel(this, "lblLoc", "", 34, 172, 50);
    lblActSnelhTekst = addLabel(this, "lblActSnelhTekst", "snelh.:", 90, 172, 40);
    lblActSnelh = addLabel(this, "lblActSnelh", "", 130, 172, 40);
    lblActStapTekst = addLabel(this, "lblActStapTekst", "stap :", 180, 172, 40);
    lblActStap = addLabel(this, "lblActStap", "", 220, 172, 40);
    btnOK = formButton(this, "btnOK", "OK", 4, 194, 60);
    btnAnnuleren = formButton(this, "btnAnnuleren", "Annuleren", 68, 194, 70);
    btnLineair = formButton(this, "btnLineair", "Lineaire curve", 142, 194, 90);
    btnHelp = formButton(this, "btnHelp", "Help", 236, 194, 60);
    pnlIjken = new QFrame(this);
    pnlIjken->setObjectName("pnlIjken");
    pnlIjken->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pnlIjken->setAutoFillBackground(true);
    pnlIjken->setGeometry(0, 226, width(), 90);
    btnIjken = formButton(pnlIjken, "btnIjken", "CALIBREREN", 4, 4, 90);
    btnPosNegFlank = formButton(pnlIjken, "btnPosNegFlank", edgeCaption(), 98, 4, 120);
    btnEnkelVooruit = formButton(pnlIjken, "btnEnkelVooruit", wayCaption(), 98, 32, 120);
    addLabel(pnlIjken, "lblIngang1", "Ingang 1", 4, 62, 50);
    edtIngang1 = addEdit(pnlIjken, "edtIngang1", 54, 60);
    addLabel(pnlIjken, "lblAfstand", "Afstand", 100, 62, 44);
    edtAfstand = addEdit(pnlIjken, "edtAfstand", 144, 60);
    addLabel(pnlIjken, "lblCm", "cm", 186, 62, 20);
    addLabel(pnlIjken, "lblIngang2", "Ingang 2", 208, 62, 50);
    edtIngang2 = addEdit(pnlIjken, "edtIngang2", 256, 60);
    edtAfstand->setMaxLength(5);
    edtAfstand->setGeometry(144, 60, 40, 21);
    edtIngang2->setGeometry(256, 60, 40, 21);

    connect(btnOK, &QPushButton::clicked, this, &TfrmCurve::btnOKClick);
    connect(btnAnnuleren, &QPushButton::clicked, this, &TfrmCurve::btnAnnulerenClick);
    connect(btnLineair, &QPushButton::clicked, this, &TfrmCurve::btnLineairClick);
    connect(btnHelp, &QPushButton::clicked, this, &TfrmCurve::btnHelpClick);
    connect(btnIjken, &QPushButton::clicked, this, &TfrmCurve::btnIjkenClick);
    connect(btnPosNegFlank, &QPushButton::clicked, this, &TfrmCurve::btnPosNegFlankClick);
    connect(btnEnkelVooruit, &QPushButton::clicked, this, &TfrmCurve::btnEnkelVooruitClick);
    for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
    gSpeedLineHook = speedLineHook;
}

int TfrmCurve::captionsRight() const {
    return std::max(lblStapTekst->geometry().right(), lblKm_h->geometry().right());
}

void TfrmCurve::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TfrmCurve::closeEvent(QCloseEvent* event) {
    if (isVisible()) FormClose();
    QDialog::closeEvent(event);
}

void TfrmCurve::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, graph.image());
}

void TfrmCurve::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    FormMouseDown(at.x(), at.y());
}

void TfrmCurve::keyPressEvent(QKeyEvent* event) {
    if (FormKeyDown(event->key(), event->modifiers())) return;
    if (event->key() == Qt::Key_Escape) {
        // Every button but Help cancels: the enabled one that ends what is going on.
        if (Tag != 1 && Tag != 0 && btnIjken->isEnabled()) btnIjken->click();
        else if (btnAnnuleren->isEnabled()) btnAnnuleren->click();
        else if (btnOK->isEnabled()) btnOK->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TfrmCurve::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && (watched == lblSnelh || watched == lblStap)) {
        const auto button = static_cast<QMouseEvent*>(event)->button();
        if (watched == lblSnelh) lblSnelhMouseDown(button);
        else lblStapMouseDown(button);
        return true;
    }
    if (event->type() == QEvent::KeyPress && watched != this) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (FormKeyDown(key->key(), key->modifiers())) return true;
        if (key->key() == Qt::Key_Escape) {
            keyPressEvent(key);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmCurve::FormActivate() {
    if (Tag == 0 && gCurveLoco) {
        gCurveBackup.slot = gCurveLoco->slot;
        for (QPushButton* b : {btnOK, btnAnnuleren, btnLineair}) b->setEnabled(true);
    }
    // The dialog keeps its locomotive itself: a slot moves when another locomotive is deleted or
    // renumbered, and a deletion of this one closes the dialog.
    LocoRec* loco = gCurveLoco;
    if (!loco) return;
    btnIjken->setEnabled(loco->run.head.block != nullptr);
    const int n = curveSteps(loco);
    const int g = pitchOf(n);
    if (Tag == 0) {
        Tag = 1;
        for (int j = 0; j < kSpeedTableSize; ++j) gCurveBackup.table[j] = loco->speedTable[j];
        gCurveBackup.maxSpeed = loco->run.maxSpeed;
        gCurveBackup.typedMaxSpeed = hasTypedMaxSpeed(*loco);
        lblLoc->setText(QString::number(loco->number));
        if (gCurveStep < 1 || gCurveStep > n) gCurveStep = 1;
        setBackColour(pnlIjken, vestrel::clBtnFace);
        setBackColour(edtIngang1, vestrel::clWhite);
        setBackColour(edtIngang2, vestrel::clWhite);
        btnIjken->setText("CALIBREREN");
        btnPosNegFlank->setText(edgeCaption());
        btnEnkelVooruit->setText(wayCaption());
        FormPaint();
    }
    if (n == 0) return;
    // Centred under the step, but never over the captions at the left (steps 1..3 of 126).
    const int left = std::max(g * gCurveStep - lblStap->width() / 2 + kLeft, captionsRight() + 1);
    lblStap->move(left, lblStap->y());
    lblSnelh->move(left, lblSnelh->y());
    lblStap->setText(QString::number(gCurveStep));
    lblSnelh->setText(QString::number(stepValue(loco, gCurveStep)));
    const int last = loco->run.lastStepSent;
    lblActStap->setText(QString::number(last));
    lblActSnelh->setText(QString::number(loco->speedTable[std::min(g * last / 2, kSpeedTableSize - 1)]));
}

void TfrmCurve::FormPaint() {
    graph.Brush.Color = vestrel::clSilver;
    graph.Brush.Style = vestrel::BrushStyle::Solid;
    graph.FillRect({kLeft, 0, kRight, kBottom});
    const int n = curveSteps(gCurveLoco);
    const int pitch = n == 126 ? 9 : pitchOf(n);
    if (pitch > 0)
        for (int y = 10; y <= 120; y += 10)
            for (int x = kLeft + pitch; x < kRight; x += pitch) graph.SetPixel(x, y, vestrel::clGray);
    drawLinearSpeedLine(0);
    drawSpeedCurve();
    update();
}

void drawSpeedCurve() {
    if (!frmCurve || !gCurveLoco) return;
    const int n = curveSteps(gCurveLoco);
    if (n == 0) return;
    const int g = pitchOf(n);
    vestrel::Canvas& c = frmCurve->graph;
    c.Pen.Mode = vestrel::PenMode::NotXor;
    c.Pen.Color = vestrel::clBlack;
    c.Pen.Style = vestrel::PenStyle::Solid;
    c.Pen.Width = 1;
    c.MoveTo(kLeft, kBottom);
    for (int s = 1; s <= n; ++s) c.LineTo(kLeft + g * s, yOf(stepValue(gCurveLoco, s)));
    c.Pen.Mode = vestrel::PenMode::Copy;
    frmCurve->update();
}

void drawLinearSpeedLine(int erase) {
    if (!frmCurve || !gCurveLoco) return;
    const int n = curveSteps(gCurveLoco);
    if (n == 0) return;
    vestrel::Canvas& c = frmCurve->graph;
    c.Pen.Mode = vestrel::PenMode::Copy;
    c.Pen.Style = vestrel::PenStyle::Solid;
    c.Pen.Width = 1;
    c.Pen.Color = erase ? vestrel::clSilver : vestrel::clWhite;
    const int maxSpeed = gCurveLoco->run.maxSpeed;
    c.MoveTo(kLeft, kBottom);
    for (int s = 1; s <= n; ++s) {
        const int b = static_cast<int>(s * maxSpeed / static_cast<float>(n) + 0.5f);
        c.LineTo(kLeft + s * 252 / n, yOf(b));
    }
    frmCurve->update();
}

void editSpeedCurve(int code, int step) {
    if (!frmCurve || !gCurveLoco) return;
    // Keys and clicks edit only while no calibration runs; the calibration stores through code 1.
    if (code != 1 && frmCurve->Tag != 1) return;
    LocoRec* loco = gCurveLoco;
    const int n = curveSteps(loco);
    if (n == 0) return;
    int v = parseNumber(frmCurve->lblSnelh->text().toStdString());
    bool write = false;
    switch (code) {
        case 37: step = step <= 1 ? n : step - 1; break;
        case 39: step = step >= n ? 1 : step + 1; break;
        case 38:
            if (v < 255) {
                ++v;
                write = true;
            }
            break;
        case 40:
            if (v > 1) {
                --v;
                write = true;
            }
            break;
        case 1: write = true; break;
        default: return;
    }
    if (write) gChangeFlags |= kCurveChanged;
    drawSpeedCurve();
    if (write) {
        fillSpeedCurveStep(loco, step, static_cast<uint8_t>(std::clamp(v, 0, 255)));
        dropTypedMaxSpeed(loco);  // the maximum follows the edited curve
    }
    normaliseSpeedCurve(loco);
    gCurveStep = step;
    drawSpeedCurve();
    frmCurve->FormActivate();
    if (write && loco->shownSpeed != 0 && (code == 38 || code == 40)) queueLocoSpeed(loco, 0);
}

void TfrmCurve::FormMouseDown(int x, int /*y*/) {
    const int n = curveSteps(gCurveLoco);
    if (Tag != 1 || n == 0) return;
    const int g = pitchOf(n);
    gCurveStep = std::clamp((x + g / 2 - kLeft) / g, 1, n);
    FormActivate();
}

bool TfrmCurve::FormKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    if (key == Qt::Key_Space) {
        if (gEmergencyState == 0 && sessionRunning()) emergencyStopAll(1);
        return true;
    }
    if (!(modifiers & Qt::AltModifier)) return false;
    int code = 0;
    switch (key) {
        case Qt::Key_Left: code = 37; break;
        case Qt::Key_Up: code = 38; break;
        case Qt::Key_Right: code = 39; break;
        case Qt::Key_Down: code = 40; break;
        default: return false;
    }
    if (Tag == 1) editSpeedCurve(code, gCurveStep);
    return true;
}

void TfrmCurve::lblSnelhMouseDown(Qt::MouseButton button) {
    if (Tag == 1) editSpeedCurve(button == Qt::LeftButton ? 38 : 40, gCurveStep);
}

void TfrmCurve::lblStapMouseDown(Qt::MouseButton button) {
    if (Tag == 1) editSpeedCurve(button == Qt::LeftButton ? 39 : 37, gCurveStep);
}

void TfrmCurve::btnLineairClick() {
    if (frmBevestig) frmBevestig->move(pos());
    if (gCurveLoco && showDialogMessage("Bent u zeker ?", 2) == 1) {
        LocoRec* loco = gCurveLoco;
        drawSpeedCurve();
        drawLinearSpeedLine(1);
        loco->run.maxSpeed = std::max<int16_t>(loco->speedTable[126], 28);
        loco->speedTable.fill(0);
        dropTypedMaxSpeed(loco);
        normaliseSpeedCurve(loco);
        drawSpeedCurve();
        gChangeFlags |= kCurveChanged;
    }
    FormActivate();
}

void TfrmCurve::btnAnnulerenClick() {
    if (LocoRec* loco = gCurveLoco) {
        for (int j = 0; j < kSpeedTableSize; ++j) loco->speedTable[j] = static_cast<uint8_t>(gCurveBackup.table[j]);
        loco->run.maxSpeed = gCurveBackup.maxSpeed;
        if (gCurveBackup.typedMaxSpeed) markTypedMaxSpeed(loco);
        else dropTypedMaxSpeed(loco);
        loco->stepDelay = static_cast<int16_t>(calcStepDelay(loco, loco->acceleration));
        normaliseSpeedCurve(loco);
    }
    gChangeFlags &= static_cast<uint8_t>(~kCurveChanged);
    close();
}

void TfrmCurve::btnOKClick() { close(); }

void TfrmCurve::btnHelpClick() { showHelpTopic(kHelpTopic); }

void TfrmCurve::btnIjkenClick() {
    if (Tag != 1) Tag = 0;
    runSpeedCalibration(1);
}

void TfrmCurve::btnPosNegFlankClick() {
    gCalNegativeEdge = gCalNegativeEdge ? 0 : 1;
    btnPosNegFlank->setText(edgeCaption());
}

void TfrmCurve::btnEnkelVooruitClick() {
    gCalOneWay = gCalOneWay ? 0 : 1;
    btnEnkelVooruit->setText(wayCaption());
}

void TfrmCurve::FormClose() {
    const bool calibrating = Tag != 0 && Tag != 1;
    Tag = 0;
    LocoRec* loco = gCurveLoco;
    // A run ended by anything but its own STOP (a record from the network, the end of the session)
    // must not leave the locomotive running on its last step.
    if (loco && calibrating) setLocoSpeedStep(loco, 0);
    if (loco && (gChangeFlags & kCurveChanged)) {
        if (loco->helperWagon && loco->helperWagon->owner) limitMaxStepByHelpers(loco->helperWagon->owner);
        if (!queueSpeedCurveRecord(30, *loco)) queueSpeedCurveRecord(40, *loco);
        gChangeFlags &= static_cast<uint8_t>(~kCurveChanged);
        gLocoDataModified = 1;
        refreshTrainMaxSpeed(loco);
    }
    gCurveLoco = nullptr;
}

void openSpeedCurveDialog(LocoRec* loco, int left, int top) {
    if (!frmCurve || !loco) return;
    if (frmCurve->Tag == 0) {
        gCurveLoco = loco;
        frmCurve->move(left, top);
    }
    frmCurve->show();
    frmCurve->raise();
}

void closeSpeedCurveOf(const LocoRec* loco) {
    if (!frmCurve || !loco || gCurveLoco != loco) return;
    // Its table is replaced or freed: what the dialog changed is no longer to be sent.
    gChangeFlags &= static_cast<uint8_t>(~kCurveChanged);
    if (frmCurve->isVisible()) frmCurve->close();
    else frmCurve->FormClose();
}
