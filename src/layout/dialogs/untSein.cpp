#include "layout/dialogs/untSein.h"

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
#include "layout/editor/point_commit.h"
#include "layout/editor/point_entry.h"
#include "layout/model/accessory_numbers.h"
#include "layout/model/geometry.h"
#include "network/model/net_queue.h"
#include "operation/control/accessory_operation.h"
#include "shell/config/messages.h"
#include "shell/model/app_state.h"
#include "shell/model/schema_state.h"
#include "shell/window/form_setup.h"
#include "shell/window/mouse_pointer.h"

TfrmSein* frmSein = nullptr;

namespace {

constexpr int kDialogCode = 8;

bool beingInserted(const SignalRec* s) { return s && s == gEntered.signal.get(); }
bool beingPlaced(const SignalRec* s) { return beingInserted(s) || (s && gMovingSignal); }
bool demoRunning() { return gDemoStep != 0; }

SignalRec* signalWithNumber(int number) {
    for (SignalRec* s : gSignals)
        if (s->number == number) return s;
    return nullptr;
}

const char* aspectCaption(char aspect, bool orange) {
    switch (aspect) {
    case 'O': return orange ? "Oranje" : "Groen";
    case 'R': return "Rood";
    case 'S': return "Geforceerd rood";
    default: return "Groen";
    }
}

}  // namespace

TfrmSein::TfrmSein(QWidget* parent) : TElementDialog(parent) {
    setupForm(this, "frmSein", "Gegevens sein", 340, 260);
    edtNummer = addNumberField(this, "edtNummer", QString("Nummer (1 tot %1)").arg(kFirstVirtualAddress - 1), 4, 12,
                               10, 160);
    pnlPlusMin1 = new TPlusMinPanel(this, "pnlPlusMin1", [this](int b) { pnlPlusMin1MouseDown(b); });
    pnlPlusMin1->move(230, 12);
    chboOranjeLicht = new QCheckBox("oranje licht", this);
    chboOranjeLicht->setObjectName("chboOranjeLicht");
    chboOranjeLicht->setGeometry(10, 40, 150, 20);
    edtNrOranjeLicht = new QLineEdit(this);
    edtNrOranjeLicht->setObjectName("edtNrOranjeLicht");
    edtNrOranjeLicht->setMaxLength(4);
    edtNrOranjeLicht->setGeometry(170, 40, 48, 21);
    pnlPlusMin2 = new TPlusMinPanel(this, "pnlPlusMin2", [this](int b) { pnlPlusMin2MouseDown(b); });
    pnlPlusMin2->move(230, 40);
    edtBlokNr = addNumberField(this, "edtBlokNr", "Bloknummer", 3, 68, 10, 160);
    cboRichting = new QComboBox(this);
    cboRichting->setObjectName("cboRichting");
    cboRichting->addItems({"Heen", "Terug"});
    cboRichting->setGeometry(230, 68, 90, 22);
    cboRichting->setEnabled(false);
    btnStand = new QPushButton("Groen", this);
    btnStand->setObjectName("btnStand");
    btnStand->setGeometry(10, 98, 120, 25);
    btnStand->setAutoDefault(false);
    edtPulstijd = addNumberField(this, "edtPulstijd", QString("Pulstijd (0 tot %1)(x100ms)").arg(kMaxPulseTime), 3,
                                 132, 10, 160);
    lblPulstijd = findChild<QLabel*>("lblPulstijd");
    lblDecoder = new QLabel("Decoder", this);
    lblDecoder->setObjectName("lblDecoder");
    lblDecoder->setGeometry(10, 162, 100, 17);
    cboDecoder = new QComboBox(this);
    cboDecoder->setObjectName("cboDecoder");
    cboDecoder->addItems({"Motorola", "DCC"});
    cboDecoder->setGeometry(170, 160, 100, 22);
    addButtons(220, 9);
    connect(btnOK, &QPushButton::clicked, this, &TfrmSein::btnOKClick);
    connect(btnStand, &QPushButton::clicked, this, &TfrmSein::btnStandClick);
    connect(chboOranjeLicht, &QCheckBox::clicked, this, &TfrmSein::chboOranjeLichtClick);
    connect(edtNummer, &QLineEdit::textEdited, this, &TfrmSein::edtNummerChange);
    connect(edtBlokNr, &QLineEdit::textEdited, this, &TfrmSein::edtBlokNrChange);
    connect(edtPulstijd, &QLineEdit::textEdited, this, &TfrmSein::edtPulstijdChange);
    watchKeys();
}

void TfrmSein::updateSignalDialogFields(int number) {
    const bool decoder = number < kFirstVirtualAddress;
    for (QWidget* w : std::initializer_list<QWidget*>{lblPulstijd, edtPulstijd, lblDecoder, cboDecoder})
        w->setVisible(decoder);
}

void TfrmSein::FormActivate() {
    const bool demo = demoRunning();
    const bool session = sessionRunning();
    SignalRec* s = gSelectedSignal;
    if (gActiveDialog != kDialogCode) {
        showMousePointer();
        if (s) {
            if (session) setFieldValue(edtNummer, s->number);
            setFieldValue(edtNrOranjeLicht, s->orangeNumber);
            if (!beingPlaced(s)) {
                gSignalBlock = s->block;
                gSignalDirection = s->direction;
            }
        }
        edtNummer->setEnabled(true);
        edtNummer->setFocus();
        edtNrOranjeLicht->setEnabled(false);
        btnAnnuleren->setEnabled(true);
        if (demo)
            for (QWidget* w : std::initializer_list<QWidget*>{edtNummer, edtBlokNr, chboOranjeLicht, btnOK, btnAnnuleren})
                w->setEnabled(false);
    }
    gActiveDialog = kDialogCode;
    btnStand->setEnabled(s && !beingPlaced(s) && !demo);
    int orange = fieldValue(edtNrOranjeLicht);
    if (session) {
        for (QWidget* w : std::initializer_list<QWidget*>{edtBlokNr, chboOranjeLicht, cboDecoder}) w->setEnabled(false);
        if (s) {
            gSignalBlock = s->block;
            gSignalDirection = s->direction;
            orange = s->orangeNumber;
        }
    } else {
        edtBlokNr->setEnabled(!demo);
        chboOranjeLicht->setEnabled(!demo);
        cboDecoder->setEnabled(true);
    }
    if (s) {
        const bool candidate = gSignalBlock != nullptr;
        if (candidate) setFieldValue(edtBlokNr, gSignalBlock->number);
        edtNummer->setEnabled(candidate && !demo);
        btnOK->setEnabled(candidate && !demo);
        edtNrOranjeLicht->setEnabled(candidate && orange != 0 && !session);
        setFieldValue(edtNummer, s->number);
        setFieldValue(edtNrOranjeLicht, orange);
        chboOranjeLicht->setChecked(orange != 0);
        cboRichting->setCurrentIndex(gSignalDirection == 'H' ? 0 : 1);
        btnStand->setText(aspectCaption(s->aspect, orange != 0));
        updateSignalDialogFields(s->number);
        if (s->number < kFirstVirtualAddress) {
            setFieldValue(edtPulstijd, s->pulseTime);
            cboDecoder->setCurrentIndex(s->number >= 1 && decoderEntryOf(s->number).protocol ? 1 : 0);
        }
    } else {
        btnOK->setEnabled(false);
    }
    pnlPlusMin1->setVisible(s && edtNummer->isEnabled() && !session);
    pnlPlusMin2->setVisible(s && edtNrOranjeLicht->isEnabled());
}

void TfrmSein::edtBlokNrChange() {
    SignalRec* s = gSelectedSignal;
    const int typed = fieldValue(edtBlokNr);
    if (!s || (gSignalBlock && gSignalBlock->number == typed)) return;
    gSignalBlock = nullptr;
    if (BlockRec* b = blockByNumber(typed)) {
        int angle = 0;
        char letter = 0;
        const int match = matchSignalToBlock(*s, *b, angle, letter);
        if (match == 1 || match == 2) {
            gSignalBlock = b;
            gSignalAngle = angle;
            gSignalDirection = letter;
        }
    }
    const QString keep = edtBlokNr->text();
    const int number = fieldValue(edtNummer);
    FormActivate();
    setFieldValue(edtNummer, number);
    edtBlokNr->setText(keep);
}

void TfrmSein::edtNummerChange() {
    const int number = fieldValue(edtNummer);
    if (!sessionRunning()) {
        chboOranjeLichtClick();
        updateSignalDialogFields(number);
        return;
    }
    gSelectedSignal = signalWithNumber(number);
    if (gSelectedSignal) gSelectedBlock = gSelectedSignal->block;
    FormActivate();
}

void TfrmSein::chboOranjeLichtClick() {
    if (sessionRunning()) return;
    const bool checked = chboOranjeLicht->isChecked();
    if (checked && fieldValue(edtNrOranjeLicht) == 0)
        setFieldValue(edtNrOranjeLicht, findFreeAddress(fieldValue(edtNummer), 0, 0, kAddressSignal, 1));
    if (!checked) setFieldValue(edtNrOranjeLicht, 0);
    edtNrOranjeLicht->setEnabled(checked);
    pnlPlusMin2->setVisible(checked);
}

// "+/-" never proposes the signal's other number.
void TfrmSein::stepNumber(QLineEdit* field, const QLineEdit* other, int button) {
    const int step = button == 1 ? 1 : -1;
    const SignalRec* s = gSelectedSignal;
    const int own = s ? s->number : 0, own2 = s ? s->orangeNumber : 0;
    int n = findFreeAddress(fieldValue(field), own, own2, kAddressSignal, step);
    if (n != 0 && n == fieldValue(other)) n = findFreeAddress(n, own, own2, kAddressSignal, step);
    if (n != 0) setFieldValue(field, n);
}

void TfrmSein::pnlPlusMin1MouseDown(int button) {
    stepNumber(edtNummer, edtNrOranjeLicht, button);
    updateSignalDialogFields(fieldValue(edtNummer));
}

void TfrmSein::pnlPlusMin2MouseDown(int button) { stepNumber(edtNrOranjeLicht, edtNummer, button); }

void TfrmSein::btnStandClick() {
    SignalRec* s = gSelectedSignal;
    if (!s) return;
    if (sessionRunning()) {
        toggleSignalForcedRed(s);
    } else {
        const bool orange = fieldValue(edtNrOranjeLicht) != 0;
        switch (s->aspect) {
        case 'G': s->aspect = orange ? 'O' : 'R'; break;
        case 'O': s->aspect = 'R'; break;
        case 'R': s->aspect = 'S'; break;
        default: s->aspect = 'G'; break;
        }
        drawSignal(*s, 0, 1);
    }
    btnStand->setText(aspectCaption(s->aspect, fieldValue(edtNrOranjeLicht) != 0));
}

void TfrmSein::edtPulstijdChange() { clampPulseTimeField(edtPulstijd); }

void TfrmSein::btnOKClick() {
    if (gMessageShown) return;
    SignalRec* s = gSelectedSignal;
    if (!s) return;
    const int pulse = fieldValue(edtPulstijd);
    if (sessionRunning()) {
        s->pulseTime = static_cast<uint8_t>(pulse);
        const int index = gSignals.indexOf(s);
        netQueueRecord(30, 7, 37, s->number, index, pulse);
        netQueueRecord(40, 7, 37, s->number, index, pulse);
        close();
        return;
    }
    const int number = fieldValue(edtNummer), orange = fieldValue(edtNrOranjeLicht);
    if (number < 1 || number > kMaxAccessoryNumber || orange < 0 || orange > kMaxAccessoryNumber || number == orange)
        return;
    if (!gSignalBlock) return;
    if (findFreeAddress(number, s->number, s->orangeNumber, kAddressSignal, 0) != number) {
        showDialogMessage("Nummer sein is reeds gebruikt !", 1);
        return;
    }
    if (orange != 0 && findFreeAddress(orange, s->number, s->orangeNumber, kAddressSignal, 0) != orange) {
        showDialogMessage("Nummer oranje licht is reeds gebruikt !", 1);
        return;
    }
    if (number < kFirstVirtualAddress) decoderEntryOf(number).protocol = static_cast<uint8_t>(cboDecoder->currentIndex());
    gDirtyFlags |= 2;
    if (beingInserted(s)) {
        s->number = static_cast<int16_t>(number);
        s->orangeNumber = static_cast<int16_t>(orange);
        s->pulseTime = static_cast<uint8_t>(pulse);
        storeNewSignal();
        close();
        return;
    }
    // A moved signal's record before the move was copied when the move began.
    const SignalRec previous = gMovingSignal ? *gJournalScratch.signal : *s;
    drawSignal(*s, 1, 1);
    s->number = static_cast<int16_t>(number);
    s->orangeNumber = static_cast<int16_t>(orange);
    s->block = gSignalBlock;
    s->direction = gSignalDirection;
    s->pulseTime = static_cast<uint8_t>(pulse);
    if (gMovingSignal) {
        s->angle = gSignalAngle;
        layoutSignal(*s, s->outline[0]);
        gEditMode = kEditNew;  // the move ends with this OK
    }
    drawSignal(*s, 0, 1);
    const int index = gSignals.indexOf(s);
    journalRecordEdit('w', s, &previous, index, index);
    close();
}

void TfrmSein::FormClose() {
    editModeAfterElementDialog();
    gActiveDialog = 0;
}
