#include "layout/dialogs/untDraaischijf.h"

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <functional>

#include "layout/draw/element_draw.h"
#include "layout/editor/editor_state.h"
#include "layout/editor/hit_test.h"
#include "layout/editor/turntable_operation.h"
#include "layout/frame/render.h"
#include "layout/model/geometry.h"
#include "layout/model/layout_codec.h"
#include "layout/model/layout_model.h"
#include "layout/model/scale.h"
#include "layout/model/turntable_state.h"
#include "link/buffers/feedback.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "operation/control/accessory_operation.h"
#include "operation/draw/train_drawing.h"
#include "operation/engine/second_tick.h"
#include "operation/model/length_units.h"
#include "operation/model/train_model.h"
#include "shell/config/messages.h"
#include "shell/model/app_state.h"
#include "shell/window/form_setup.h"
#include "shell/window/mouse_pointer.h"

TfrmDraaischijf* frmDraaischijf = nullptr;
int gTurntableTarget = 0;
uint32_t gTurntableRunOnEnd = 0;
int gLastModelSecond = 0;

namespace {

constexpr int kDialogCode = 11;
constexpr int kMaxTurntableNumber = 3;
constexpr int kMaxInput = 496;
constexpr int kMaxStartAddress = 2047;
constexpr uint8_t kStepping = 0x01, kTurnCw = 0x08, kTurnCcw = 0x10, kLocoAlone = 0x80;
constexpr int kRange14 = 209, kRange15 = 225;

bool demoRunning() { return gDemoStep != 0; }

// A "<" or ">" panel: a press runs its command.
class TCommandPanel : public QLabel {
public:
    TCommandPanel(QWidget* parent, const char* name, const char* text, std::function<void()> pressed)
        : QLabel(text, parent), pressed_(std::move(pressed)) {
        setObjectName(name);
        setAlignment(Qt::AlignCenter);
        setFrameStyle(QFrame::Panel | QFrame::Raised);
        setAutoFillBackground(true);
        resize(24, 22);
    }

protected:
    void mousePressEvent(QMouseEvent*) override { pressed_(); }

private:
    std::function<void()> pressed_;
};

void clampField(QLineEdit* field, int low, int high) {
    const int v = fieldValue(field);
    if (v < low || v > high || field->text().isEmpty()) setFieldValue(field, std::clamp(v, low, high));
}

int slotOfEnd(const TurntableRec& t, int end) {
    const int n = t.positions;
    return end - 1 >= n ? end - 1 - n : end - 1;
}

QPushButton* button(QWidget* parent, const char* name, const char* text, int x, int y) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setGeometry(x, y, 56, 24);
    return b;
}

}  // namespace

TfrmDraaischijf::TfrmDraaischijf(QWidget* parent) : TElementDialog(parent) {
    setupForm(this, "frmDraaischijf", "Draaischijf", 460, 420);
    edtNummer = addNumberField(this, "edtNummer", QString("Nummer (1 tot %1)").arg(kMaxTurntableNumber), 1, 10);
    edtMaxPos = addNumberField(this, "edtMaxPos", "Max.aantal posities", 2, 36);
    edtMaxPos->setToolTip("Voor het bepalen van de aansluitingen: \nklik op de punten op de draaischijf");
    edtSnelheid = addNumberField(this, "edtSnelheid", "Brugsnelheid (%)", 3, 62);
    edtInPos = addNumberField(this, "edtInPos", "In positie melding", 3, 88);
    edtBezet = addNumberField(this, "edtBezet", "Bezetmelding", 3, 114);
    edtPulstijd = addNumberField(this, "edtPulstijd", "Pulstijd (x100ms)", 2, 140);
    edtTimeout = addNumberField(this, "edtTimeout", "Timeout (s)", 2, 166);
    lblTimeoutteller = new QLabel(this);
    lblTimeoutteller->setObjectName("lblTimeoutteller");
    lblTimeoutteller->setGeometry(220, 168, 40, 17);
    edtNalooptijd = addNumberField(this, "edtNalooptijd", "Nalooptijd (x100ms)", 2, 192);
    cboSysteem = new QComboBox(this);
    cboSysteem->setObjectName("cboSysteem");
    cboSysteem->addItems({"Systeem 1", "Systeem 2"});
    cboSysteem->setGeometry(10, 222, 110, 22);
    lblDiameter = new QLabel(this);
    lblDiameter->setObjectName("lblDiameter");
    lblDiameter->setGeometry(140, 224, 200, 17);

    grpSysteem1 = new QGroupBox(this);
    grpSysteem1->setObjectName("grpSysteem1");
    grpSysteem1->setGeometry(10, 250, 440, 120);
    pnlDraaiTzin = new TCommandPanel(grpSysteem1, "pnlDraaiTzin", "<", [this] { command(gTurntableTarget, 1); });
    pnlDraaiTzin->move(150, 136 - 40);
    pnlDraaiWzin = new TCommandPanel(grpSysteem1, "pnlDraaiWzin", ">", [this] { command(gTurntableTarget, 2); });
    pnlDraaiWzin->move(290, 136 - 40);

    grpSysteem2 = new QGroupBox(this);
    grpSysteem2->setObjectName("grpSysteem2");
    grpSysteem2->setGeometry(10, 250, 440, 120);
    cboAdresgebied = new QComboBox(grpSysteem2);
    cboAdresgebied->setObjectName("cboAdresgebied");
    cboAdresgebied->addItems({"14", "15"});
    cboAdresgebied->setGeometry(200, 32, 50, 22);
    lblAdresTzin2 = new QLabel(this);
    lblAdresTzin2->setObjectName("lblAdresTzin2");
    btnEnd = button(grpSysteem2, "btnEnd", "End", 10, 86);
    btnInput = button(grpSysteem2, "btnInput", "Input", 70, 86);
    btnClear = button(grpSysteem2, "btnClear", "Clear", 130, 86);
    btnTurn = button(grpSysteem2, "btnTurn", "Turn", 190, 86);
    btnStapTzin = button(grpSysteem2, "btnStapTzin", "<Step", 250, 86);
    btnStapWzin = button(grpSysteem2, "btnStapWzin", "Step>", 310, 86);
    btnDoel = button(grpSysteem2, "btnDoel", "Doel", 370, 86);
    pnlTzin = new TCommandPanel(grpSysteem2, "pnlTzin", "<", [this] { command(targetEnd(), 18); });
    pnlTzin->move(200, 60);
    pnlWzin = new TCommandPanel(grpSysteem2, "pnlWzin", ">", [this] { command(targetEnd(), 17); });
    pnlWzin->move(330, 60);

    edtStartadres = new QLineEdit(this);
    edtStartadres->setObjectName("edtStartadres");
    edtStartadres->setMaxLength(4);
    auto* lblDoelpos = new QLabel("Doelpositie", this);
    lblDoelpos->setObjectName("lblDoelpos");
    cboDoelpos = new QComboBox(this);
    cboDoelpos->setObjectName("cboDoelpos");
    lblDoelpos->setGeometry(120, 252, 76, 17);

    addButtons(384, 28);
    connect(btnOK, &QPushButton::clicked, this, &TfrmDraaischijf::btnOKClick);
    connect(btnEnd, &QPushButton::clicked, this, [this] { command(targetEnd(), 11); });
    connect(btnInput, &QPushButton::clicked, this, [this] { command(targetEnd(), 12); });
    connect(btnClear, &QPushButton::clicked, this, [this] { command(targetEnd(), 13); });
    connect(btnTurn, &QPushButton::clicked, this, [this] { command(currentEnd(), 14); });
    connect(btnStapWzin, &QPushButton::clicked, this, [this] { command(currentEnd(), 15); });
    connect(btnStapTzin, &QPushButton::clicked, this, [this] { command(currentEnd(), 16); });
    connect(btnDoel, &QPushButton::clicked, this, [this] { command(gTurntableTarget, 19); });
    connect(edtNummer, &QLineEdit::editingFinished, this, &TfrmDraaischijf::edtNummerExit);
    connect(edtMaxPos, &QLineEdit::editingFinished, this, &TfrmDraaischijf::edtMaxPosExit);
    connect(edtSnelheid, &QLineEdit::editingFinished, this, &TfrmDraaischijf::edtSnelheidExit);
    connect(edtInPos, &QLineEdit::editingFinished, this, &TfrmDraaischijf::edtInPosExit);
    connect(edtBezet, &QLineEdit::editingFinished, this, &TfrmDraaischijf::edtBezetExit);
    connect(edtPulstijd, &QLineEdit::editingFinished, this, &TfrmDraaischijf::edtPulstijdExit);
    connect(edtTimeout, &QLineEdit::editingFinished, this, &TfrmDraaischijf::edtTimeoutExit);
    connect(edtNalooptijd, &QLineEdit::editingFinished, this, &TfrmDraaischijf::edtNalooptijdExit);
    connect(cboSysteem, &QComboBox::activated, this, &TfrmDraaischijf::cboSysteemChange);
    connect(cboAdresgebied, &QComboBox::activated, this, &TfrmDraaischijf::cboAdresgebiedChange);
    connect(edtStartadres, &QLineEdit::textEdited, this, &TfrmDraaischijf::edtStartadresChange);
    connect(cboDoelpos, &QComboBox::activated, this, &TfrmDraaischijf::cboDoelposChange);
    watchKeys();

    // The bridge moves whether or not the dialog shows.
    Timer1 = new QTimer(this);
    Timer1->setInterval(50);
    connect(Timer1, &QTimer::timeout, this, &TfrmDraaischijf::Timer1Timer);
    Timer1->start();
}

int TfrmDraaischijf::targetEnd() const { return gSelectedTurntable ? gSelectedTurntable->secondPosition : 0; }
int TfrmDraaischijf::currentEnd() const { return gSelectedTurntable ? gSelectedTurntable->currentPosition : 0; }

void TfrmDraaischijf::command(int end, int code) {
    if (gSelectedTurntable) turnTurntable(gSelectedTurntable, end, code);
    if (isVisible()) FormActivate();
}

void TfrmDraaischijf::fillTargets() {
    const TurntableRec* t = gSelectedTurntable;
    cboDoelpos->clear();
    if (!t) return;
    for (int s = 0; s < std::min<int>(t->positions, kTurntablePositions); ++s)
        if (t->positionOfConnection[s] != 0) cboDoelpos->addItem(QString::number(t->positionOfConnection[s]));
    cboDoelpos->setCurrentIndex(cboDoelpos->count() > 0 ? 0 : -1);
}

void TfrmDraaischijf::showDirectionPanels(const TurntableRec& t) {
    const uint8_t state = turntableStateFlags(t);
    auto show = [](QLabel* panel, bool active) {
        panel->setFrameStyle(QFrame::Panel | (active ? QFrame::Sunken : QFrame::Raised));
        QPalette p = panel->palette();
        p.setColor(QPalette::Window, active ? QColor(255, 255, 0) : panel->parentWidget()->palette().color(QPalette::Button));
        panel->setPalette(p);
    };
    show(pnlDraaiWzin, state & kTurnCw);
    show(pnlWzin, state & kTurnCw);
    show(pnlDraaiTzin, state & kTurnCcw);
    show(pnlTzin, state & kTurnCcw);
}

void TfrmDraaischijf::FormActivate() {
    TurntableRec* t = gSelectedTurntable;
    if (!t) return;
    if (!filled) {
        filled = 1;
        if (gActiveDialog != kDialogCode) showMousePointer();
        setFieldValue(edtNummer, t->number);
        setFieldValue(edtMaxPos, t->positions);
        setFieldValue(edtSnelheid, t->bridgeSpeed);
        setFieldValue(edtInPos, t->inPositionInput);
        setFieldValue(edtBezet, t->occupancyInput);
        setFieldValue(edtPulstijd, t->pulseTime);
        setFieldValue(edtTimeout, t->timeout);
        setFieldValue(edtNalooptijd, t->runOn);
        lblTimeoutteller->setText(QString::number(turntableTimeoutCounter(*t)));
        cboSysteem->setCurrentIndex(t->decoderSystem == 1 ? 1 : 0);
        setFieldValue(edtStartadres, t->startAddress);
        cboAdresgebied->setCurrentIndex(t->startAddress == kRange14 ? 0 : t->startAddress == kRange15 ? 1 : -1);
        lblDiameter->setText(QString::asprintf("Diameter  %f", toCentimetres(2.0 * t->radius)));
        fillTargets();
        const bool editable = !sessionRunning() && !demoRunning() && gNetLinkState != 40;
        edtNummer->setEnabled(editable);
        edtMaxPos->setEnabled(editable);
        cboSysteem->setEnabled(editable);
        gActiveDialog = kDialogCode;
    }
    const bool system1 = cboSysteem->currentIndex() != 1;
    grpSysteem1->setVisible(system1);
    grpSysteem2->setVisible(!system1);
    edtStartadres->setGeometry(200 + 10, 250 + (system1 ? 32 : 54), 50, 21);
    edtStartadres->raise();
    lblAdresTzin2->setGeometry(270, 250 + (system1 ? 34 : 56), 50, 17);
    lblAdresTzin2->raise();
    const int start = fieldValue(edtStartadres);
    lblAdresTzin2->setText(QString::number(start == 0 ? 0 : start + 1));
    cboDoelpos->setGeometry(system1 ? 196 : 236, system1 ? 250 + 136 - 40 - 30 : 250 + 120 - 60, 60, 22);
    cboDoelpos->raise();
    showDirectionPanels(*t);
    // The target end's position in the list of connected positions.
    const int target = t->secondPosition;
    if (target >= 1 && target <= 2 * t->positions) {
        const int slot = slotOfEnd(*t, target);
        const int item = cboDoelpos->findText(QString::number(t->positionOfConnection[slot]));
        if (item >= 0) cboDoelpos->setCurrentIndex(item);
    }
    gTurntableTarget = target;
}

void TfrmDraaischijf::cboDoelposChange() {
    const TurntableRec* t = gSelectedTurntable;
    if (!t) return;
    const int wanted = cboDoelpos->currentIndex() + 1;
    for (int s = 0; s < std::min<int>(t->positions, kTurntablePositions); ++s)
        if (t->positionOfConnection[s] == wanted) gTurntableTarget = s + 1;
}

void TfrmDraaischijf::edtNummerExit() { clampField(edtNummer, 1, kMaxTurntableNumber); }
void TfrmDraaischijf::edtSnelheidExit() { clampField(edtSnelheid, 10, 100); }
void TfrmDraaischijf::edtInPosExit() { clampField(edtInPos, 0, kMaxInput); }
void TfrmDraaischijf::edtBezetExit() { clampField(edtBezet, 0, kMaxInput); }
void TfrmDraaischijf::edtPulstijdExit() { clampField(edtPulstijd, 1, 20); }
void TfrmDraaischijf::edtTimeoutExit() { clampField(edtTimeout, 0, 20); }
void TfrmDraaischijf::edtNalooptijdExit() { clampField(edtNalooptijd, 0, 50); }
void TfrmDraaischijf::cboSysteemChange() { FormActivate(); }

// A change of the positions is applied at once, so that the ring shows the ends to click.
void TfrmDraaischijf::edtMaxPosExit() {
    clampField(edtMaxPos, 6, kTurntablePositions);
    TurntableRec* t = gSelectedTurntable;
    const int positions = fieldValue(edtMaxPos);
    if (!t || positions == t->positions) return;
    drawTurntable(*t, 1, 1);
    t->positions = static_cast<uint8_t>(positions);
    // Slots beyond the ring are no longer connected, and ends beyond it no longer name a position.
    for (int s = positions; s < kTurntableConnections; ++s) t->positionOfConnection[s] = 0;
    if (t->currentPosition > 2 * positions) t->currentPosition = 1;
    if (t->secondPosition > 2 * positions) t->secondPosition = 1;
    layoutTurntable(*t, nullptr, nullptr);
    drawTurntable(*t, 0, 1);
    filled = 0;
    FormActivate();
}

void TfrmDraaischijf::cboAdresgebiedChange() {
    const int item = cboAdresgebied->currentIndex();
    if (item < 0) return;
    setFieldValue(edtStartadres, item == 0 ? kRange14 : kRange15);
    edtStartadresChange();
}

void TfrmDraaischijf::edtStartadresChange() {
    int v = fieldValue(edtStartadres);
    if (v < 0 || v > kMaxStartAddress) {
        v = std::clamp(v, 0, kMaxStartAddress);
        setFieldValue(edtStartadres, v);
    }
    cboAdresgebied->setCurrentIndex(v == kRange14 ? 0 : v == kRange15 ? 1 : -1);
    lblAdresTzin2->setText(QString::number(v == 0 ? 0 : v + 1));
}

void TfrmDraaischijf::btnOKClick() {
    if (gMessageShown) return;
    TurntableRec* t = gSelectedTurntable;
    if (!t) return;
    for (QLineEdit* f : {edtNummer, edtSnelheid, edtInPos, edtBezet, edtPulstijd, edtTimeout, edtNalooptijd})
        emit f->editingFinished();
    const int number = fieldValue(edtNummer);
    if (number < 1 || number > kMaxTurntableNumber) return;
    for (const TurntableRec* other : gTurntables)
        if (other != t && other->number == number) {
            showDialogMessage("Dit nummer is reeds gebruikt !", 1);
            return;
        }
    // Read before the positions are applied: applying them fills the dialog from the record again.
    const int speed = fieldValue(edtSnelheid), inPosition = fieldValue(edtInPos), occupancy = fieldValue(edtBezet);
    const int pulse = fieldValue(edtPulstijd), timeout = fieldValue(edtTimeout), runOn = fieldValue(edtNalooptijd);
    const int system = cboSysteem->currentIndex() == 1 ? 1 : 0;
    const int start = std::clamp(fieldValue(edtStartadres), 0, kMaxStartAddress);
    edtMaxPosExit();
    t->number = static_cast<int16_t>(number);
    t->bridgeSpeed = static_cast<uint8_t>(speed);
    t->angularSpeed = static_cast<float>(t->bridgeSpeed * 0.1 * 0.001);
    t->inPositionInput = static_cast<int16_t>(inPosition);
    t->occupancyInput = static_cast<int16_t>(occupancy);
    t->pulseTime = static_cast<uint8_t>(pulse);
    t->timeout = static_cast<uint8_t>(timeout);
    t->runOn = static_cast<uint8_t>(runOn);
    t->decoderSystem = static_cast<uint8_t>(system);
    t->startAddress = static_cast<int16_t>(start);
    if (!sessionRunning()) {
        layoutTurntable(*t, nullptr, nullptr);
        redrawSchema(1);
    }
    gDirtyFlags |= 2;

    // 26 bytes from the system byte; their last 6 carry the start address and both inputs.
    vestrel::ByteWriter w;
    encodeTurntable(w, *t, gTracks.indexOf(t->track));
    std::vector<uint8_t> bytes(w.data().begin() + 4, w.data().begin() + 30);
    const int16_t tail[3] = {t->startAddress, t->inPositionInput, t->occupancyInput};
    for (int k = 0; k < 3; ++k) {
        bytes[20 + 2 * k] = static_cast<uint8_t>(tail[k] & 0xFF);
        bytes[21 + 2 * k] = static_cast<uint8_t>((tail[k] >> 8) & 0xFF);
    }
    const int index = gTurntables.indexOf(t);
    if (!netQueueBlobRecord(30, 10, 37, t->number, index, bytes.data(), 26))
        netQueueBlobRecord(40, 10, 37, t->number, index, bytes.data(), 26);
    close();
}

void TfrmDraaischijf::FormClose() {
    gEditMode = 0;
    filled = 0;
    gActiveDialog = 0;
}

namespace {

bool sameEnds(const TrackRec& a, const TrackRec& b) { return a.points[0] == b.points[0] && a.points[1] == b.points[1]; }

// The locomotive standing on the bridge, from the bridge track's mark: a mark naming no locomotive on the
// track is cleared, never used.
LocoRec* bridgeLocomotive(TurntableRec& t) {
    TrackRec* bridge = t.track;
    if (!bridge || bridge->locoOnIt == 0) return nullptr;
    LocoRec* marked = bridge->locoOnIt <= gLocCount ? gLocs[bridge->locoOnIt - 1] : nullptr;
    if (!t.loco) {
        if (!marked || gLocsOnTrack.indexOf(marked) < 0 || (!marked->run.head.block && !marked->run.head.track)) {
            bridge->locoOnIt = 0;
            return nullptr;
        }
        return marked;
    }
    return t.loco;
}

}  // namespace

void TfrmDraaischijf::Timer1Timer() {
    if (!sessionRunning()) return;
    bool secondPassed = false;
    if (gModelClock.seconds != gLastModelSecond) {
        gLastModelSecond = gModelClock.seconds;
        secondPassed = true;
    }
    for (TurntableRec* t : gTurntables) {
        const int n = t->positions;
        TrackRec* bridge = t->track;
        if (n < 1 || n > kTurntablePositions || !bridge) continue;
        uint8_t& state = turntableStateFlags(*t);
        uint8_t& counter = turntableTimeoutCounter(*t);
        bool inPositionChanged = false;
        if (t->inPositionInput == 0) {
            state &= static_cast<uint8_t>(~kTurntableInPosition);
            gTurntableRunOnEnd = 0;
        } else {
            const bool on = getContactBit(t->inPositionInput) != 0;
            if (on != ((state & kTurntableInPosition) != 0)) {
                state ^= kTurntableInPosition;
                inPositionChanged = true;
            }
        }
        const bool turning = state & (kTurnCw | kTurnCcw);
        if (secondPassed) {
            if (counter > 0) --counter;
            if (!turning) counter = 0;
        }
        if (gNetLinkState != 40 && t->decoderSystem == 0 && !(state & kStepping) &&
            t->secondPosition == t->currentPosition && counter == 0 && turning && gTurntableRunOnEnd < gMsTick)
            turnTurntable(t, t->secondPosition, 3);

        state &= static_cast<uint8_t>(~kLocoAlone);
        t->loco = bridgeLocomotive(*t);
        LocoRec* loco = t->loco;
        if (loco && loco->run.head.track == bridge && !loco->frontChain && !loco->rearChain &&
            (loco->speedValue & 0xFF) == 0)
            state |= kLocoAlone;
        const bool cw = state & kTurnCw, ccw = state & kTurnCcw;
        if (!(cw || ccw) || t->currentPosition == 0) state &= static_cast<uint8_t>(~kStepping);

        const bool wantsToMove = t->secondPosition != t->currentPosition || (state & kStepping);
        if ((wantsToMove && (!loco || (state & kLocoAlone))) || inPositionChanged) {
            float angle = t->currentAngle + (cw ? t->angularSpeed : ccw ? -t->angularSpeed : 0.0f);
            angle = static_cast<float>(normalizeRadians(angle));
            TrackRec ends = *bridge;
            turntableBridgeEnds(t, angle, &ends);
            int found = t->currentPosition;
            if (inPositionChanged || !sameEnds(ends, *bridge)) {
                found = 0;
                DiagramPoint p = ends.points[0];
                int end = 0, slot = 0;
                const TurntableRec* hit = findTurntableTrackAt(p, end, slot, nullptr, false);
                const int target = t->secondPosition;
                // Either end of the target's slot is the target position.
                const bool atTarget = hit == t && (end == target || end == target - n || end == target + n);
                if (!atTarget || (state & kStepping)) {
                    counter = 0;
                    gTurntableRunOnEnd = 0;
                }
                if (hit == t && end >= 1 && end <= 2 * n) found = end;
                if (atTarget) {
                    t->secondPosition = static_cast<uint8_t>(end);
                    // Exactly on the position, even when the last step went a little past it.
                    angle = static_cast<float>(normalizeRadians((end - 1) * 3.14159 / n + t->bridgeAngle));
                    turntableBridgeEnds(t, angle, &ends);
                    if (cw || ccw) {
                        if (state & kTurntableInPosition) {
                            counter = 0;
                            gTurntableRunOnEnd = t->runOn * 100u + gMsTick;
                        } else {
                            counter = t->timeout;
                        }
                    }
                }
                const bool carries = loco && (state & kLocoAlone);
                if (carries) {
                    restoreBackgroundUnderLoco(loco);
                    PositionRec& head = loco->run.head;
                    if (head.x != t->centre[0] || head.y != t->centre[1]) {
                        head.x = t->centre[0];
                        head.y = t->centre[1];
                        head.ix = static_cast<int32_t>(head.x);
                        head.iy = static_cast<int32_t>(head.y);
                    }
                }
                drawTurntable(*t, 2, 0);
                bridge->points[0] = ends.points[0];
                bridge->points[1] = ends.points[1];
                drawTurntable(*t, 2, 0);
                if (carries) {
                    PositionRec& head = loco->run.head;
                    const float sign = (head.sectionB < head.sectionA ? -1.0f : 1.0f) / (gSpeedFactor > 0 ? gSpeedFactor : 1.0f);
                    head.dx = sign * std::cos(angle);
                    head.dy = sign * std::sin(angle);
                    drawLocoSymbol(loco);
                }
            }
            t->currentPosition = static_cast<uint8_t>(found);
            t->currentAngle = angle;
        }
        if (secondPassed && isVisible() && gSelectedTurntable == t)
            lblTimeoutteller->setText(QString::number(counter));
    }
}
