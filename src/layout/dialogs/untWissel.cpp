#include "layout/dialogs/untWissel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "layout/dialogs/accessory_fields.h"
#include "layout/draw/element_draw.h"
#include "layout/editor/edit_journal.h"
#include "layout/editor/editor_state.h"
#include "layout/editor/entry_handoff.h"
#include "layout/editor/entry_state.h"
#include "layout/model/accessory_numbers.h"
#include "layout/model/double_turnouts.h"
#include "network/model/net_queue.h"
#include "operation/control/accessory_operation.h"
#include "shell/config/messages.h"
#include "shell/model/app_state.h"
#include "shell/window/form_setup.h"
#include "shell/window/mouse_pointer.h"

TfrmWissel* frmWissel = nullptr;

namespace {

constexpr int kDialogCode = 7;
constexpr uint8_t kInverted = 1;
constexpr uint8_t kManual = 2;

bool beingInserted(const TurnoutRec* t) { return t && t == gEntered.turnout.get(); }
bool demoRunning() { return gDemoStep != 0; }
bool secondMember(int number) { return number >= 3001 && number <= 5047; }

TurnoutRec* turnoutWithNumber(int number) {
    for (TurnoutRec* t : gTurnouts)
        if (t->number == number && t->subtype != 'x') return t;
    return nullptr;
}

}  // namespace

TfrmWissel::TfrmWissel(QWidget* parent) : TElementDialog(parent) {
    setupForm(this, "frmWissel", "Gegevens Wissel", 320, 220);
    edtNummer = addNumberField(this, "edtNummer", QString("Nummer (1 tot %1)").arg(kFirstVirtualAddress - 1), 4, 12,
                               10, 160);
    pnlPlusMin = new TPlusMinPanel(this, "pnlPlusMin", [this](int button) { pnlPlusMinMouseDown(button); });
    pnlPlusMin->move(230, 12);
    edtPulstijd = addNumberField(this, "edtPulstijd", QString("Pulstijd (0 tot %1)(x100ms)").arg(kMaxPulseTime), 3,
                                 40, 10, 160);
    lblPulstijd = findChild<QLabel*>("lblPulstijd");
    lblDecoder = new QLabel("Decoder", this);
    lblDecoder->setObjectName("lblDecoder");
    lblDecoder->setGeometry(10, 70, 100, 17);
    cboDecoder = new QComboBox(this);
    cboDecoder->setObjectName("cboDecoder");
    cboDecoder->addItems({"Motorola", "DCC"});
    cboDecoder->setGeometry(170, 68, 100, 22);
    chboDubwis = new QCheckBox("Dubbelwissel", this);
    chboDubwis->setObjectName("chboDubwis");
    chboDubwis->setGeometry(10, 98, 110, 20);
    chboInvers = new QCheckBox("Invers", this);
    chboInvers->setObjectName("chboInvers");
    chboInvers->setGeometry(130, 98, 80, 20);
    btnStand = new QPushButton("Rechtdoor", this);
    btnStand->setObjectName("btnStand");
    btnStand->setGeometry(10, 130, 90, 25);
    btnMode = new QPushButton("Auto", this);
    btnMode->setObjectName("btnMode");
    btnMode->setGeometry(110, 130, 90, 25);
    for (QPushButton* b : {btnStand, btnMode}) b->setAutoDefault(false);
    addButtons(180, 9);
    connect(btnOK, &QPushButton::clicked, this, &TfrmWissel::btnOKClick);
    connect(btnStand, &QPushButton::clicked, this, &TfrmWissel::btnStandClick);
    connect(btnMode, &QPushButton::clicked, this, &TfrmWissel::btnModeClick);
    connect(chboDubwis, &QCheckBox::clicked, this, &TfrmWissel::chboDubwisClick);
    connect(edtNummer, &QLineEdit::textEdited, this, &TfrmWissel::edtNummerChange);
    connect(edtPulstijd, &QLineEdit::textEdited, this, &TfrmWissel::edtPulstijdChange);
    watchKeys();
}

void TfrmWissel::updateTurnoutDialogFields(int number) {
    const bool decoder = number < kFirstVirtualAddress;
    for (QWidget* w : std::initializer_list<QWidget*>{lblPulstijd, edtPulstijd, lblDecoder, cboDecoder})
        w->setVisible(decoder);
    chboDubwis->setVisible(!decoder && secondMember(number));
    chboInvers->setVisible(!decoder && secondMember(number));
}

void TfrmWissel::showCaptions() {
    const TurnoutRec* t = gSelectedTurnout;
    if (!t) return;
    btnMode->setText((t->options & kManual) ? "Manueel" : "Auto");
    btnStand->setText(t->position == 'R' ? "Afdraaien" : "Rechtdoor");
}

void TfrmWissel::FormActivate() {
    const bool demo = demoRunning();
    if (gActiveDialog != kDialogCode) {
        showMousePointer();
        edtNummer->setEnabled(true);
        edtNummer->setFocus();
        btnAnnuleren->setEnabled(true);
        if (demo)
            for (QWidget* w : std::initializer_list<QWidget*>{edtNummer, btnMode, btnStand, btnOK, btnAnnuleren})
                w->setEnabled(false);
    }
    gActiveDialog = kDialogCode;
    TurnoutRec* t = gSelectedTurnout;
    btnMode->setEnabled(t && !beingInserted(t) && !demo);
    btnStand->setEnabled(t && !beingInserted(t) && !demo);
    cboDecoder->setEnabled(!sessionRunning());
    btnOK->setEnabled(t && !demo);
    if (t) {
        setFieldValue(edtNummer, t->number);
        showCaptions();
        updateTurnoutDialogFields(t->number);
        if (t->number >= kFirstVirtualAddress) {
            const bool editable = !demo && !sessionRunning();
            chboDubwis->setEnabled(editable);
            chboInvers->setEnabled(editable);
            chboDubwis->setChecked(t->partner != 0);
            chboInvers->setChecked(t->options & kInverted);
        } else {
            setFieldValue(edtPulstijd, t->pulseTime);
            cboDecoder->setCurrentIndex(t->number >= 1 && decoderEntryOf(t->number).protocol ? 1 : 0);
        }
    }
    pnlPlusMin->setVisible(t && edtNummer->isEnabled() && !sessionRunning());
}

void TfrmWissel::edtNummerChange() {
    const int number = fieldValue(edtNummer);
    if (!sessionRunning()) {
        updateTurnoutDialogFields(number);
        return;
    }
    gSelectedTurnout = turnoutWithNumber(number);
    FormActivate();
}

void TfrmWissel::pnlPlusMinMouseDown(int button) {
    const int own = gSelectedTurnout ? gSelectedTurnout->number : 0;
    const int n = findFreeAddress(fieldValue(edtNummer), own, 0, kAddressTurnout, button == 1 ? 1 : -1);
    if (n == 0) return;
    setFieldValue(edtNummer, n);
    updateTurnoutDialogFields(n);
}

void TfrmWissel::chboDubwisClick() {
    if (!chboDubwis->isChecked()) return;
    if (findTurnoutPartner(gSelectedTurnout, fieldValue(edtNummer)) == 0) {
        chboDubwis->setChecked(false);
        showDialogMessage("Er is geen overeenkomstig nummer !", 1);
    }
}

void TfrmWissel::btnModeClick() {
    toggleTurnoutManual(gSelectedTurnout);
    showCaptions();
}

void TfrmWissel::btnStandClick() {
    toggleTurnout(gSelectedTurnout);
    showCaptions();
}

void TfrmWissel::edtPulstijdChange() { clampPulseTimeField(edtPulstijd); }

// A linked member goes to the end of the table (into the zone of double turnouts), any other turnout in
// front of that zone.
void TfrmWissel::storeInTable(TurnoutRec* t, bool linked) {
    int index = gTurnouts.indexOf(t);
    if (linked) {
        const bool last = index == gTurnoutCount - 1;
        if (!last && gTurnouts[index + 1]->partner == 0) gTurnouts.move(index, gTurnoutCount - 1);
        t->options = static_cast<uint8_t>((t->options & ~kInverted) | (chboInvers->isChecked() ? kInverted : 0));
    } else {
        int to = index;
        while (to > 0 && gTurnouts[to - 1]->partner != 0) --to;
        gTurnouts.move(index, to);
    }
}

void TfrmWissel::btnOKClick() {
    if (gMessageShown) return;
    TurnoutRec* t = gSelectedTurnout;
    if (!t) return;
    const int pulse = fieldValue(edtPulstijd);
    if (sessionRunning()) {
        t->pulseTime = static_cast<uint8_t>(pulse);
        const int index = gTurnouts.indexOf(t);
        netQueueRecord(30, 6, 37, t->number, index, pulse);
        netQueueRecord(40, 6, 37, t->number, index, pulse);
        close();
        return;
    }
    const int number = fieldValue(edtNummer);
    if (number < 1 || number > kMaxAccessoryNumber) return;
    if (findFreeAddress(number, t->number, 0, kAddressTurnout, 0) != number) {
        showDialogMessage("Dit nummer is reeds gebruikt !", 1);
        return;
    }
    const bool linked = chboDubwis->isVisible() && chboDubwis->isChecked();
    const int link = linked ? findTurnoutPartner(t, number) : 0;
    if (number < kFirstVirtualAddress) {
        t->pulseTime = static_cast<uint8_t>(pulse);
        decoderEntryOf(number).protocol = static_cast<uint8_t>(cboDecoder->currentIndex());
    }
    if (beingInserted(t)) {
        t->number = static_cast<int16_t>(number);
        t->partner = static_cast<uint8_t>(link);
        if (link) t->options = static_cast<uint8_t>((t->options & ~kInverted) | (chboInvers->isChecked() ? 1 : 0));
        storeNewTurnout();
        close();
        return;
    }
    const TurnoutRec previous = *t;
    const int oldIndex = gTurnouts.indexOf(t);
    drawTurnout(*t, 1, 1);
    t->number = static_cast<int16_t>(number);
    t->holder = nullptr;
    drawTurnout(*t, 0, 1);
    gDirtyFlags |= 2;
    t->partner = static_cast<uint8_t>(link);
    storeInTable(t, link != 0);
    relinkDoubleTurnouts();
    journalRecordEdit('w', t, &previous, gTurnouts.indexOf(t), oldIndex);
    close();
}

void TfrmWissel::FormClose() {
    editModeAfterElementDialog();
    gActiveDialog = 0;
}
