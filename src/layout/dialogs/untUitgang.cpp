#include "layout/dialogs/untUitgang.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include "layout/dialogs/accessory_fields.h"
#include "layout/draw/element_draw.h"
#include "layout/editor/edit_journal.h"
#include "layout/editor/editor_state.h"
#include "layout/editor/entry_handoff.h"
#include "layout/editor/entry_state.h"
#include "layout/editor/point_entry.h"
#include "layout/model/accessory_numbers.h"
#include "network/model/net_queue.h"
#include "operation/control/accessory_operation.h"
#include "shell/config/messages.h"
#include "shell/model/app_state.h"
#include "shell/window/form_setup.h"
#include "shell/window/mouse_pointer.h"

TfrmUitgang* frmUitgang = nullptr;

namespace {

constexpr int kDialogCode = 9;

OutputRec* outputWithKey(int key) {
    for (OutputRec* o : gOutputs)
        if (o->key == key) return o;
    return nullptr;
}

OutputRec* outputWithAddress(int address) {
    for (OutputRec* o : gOutputs)
        if (o->key / 2 == address) return o;
    return nullptr;
}

bool beingInserted(const OutputRec* o) { return o && o == gEntered.output.get(); }

}  // namespace

TfrmUitgang::TfrmUitgang(QWidget* parent) : TElementDialog(parent) {
    setupForm(this, "frmUitgang", "Uitgang (ontkoppelrail, ...)", 320, 230);
    grpAdres = new QGroupBox("Adres", this);
    grpAdres->setObjectName("grpAdres");
    grpAdres->setGeometry(6, 4, 308, 80);
    edtNummer = addNumberField(grpAdres, "edtNummer", QString("Nummer (1 tot %1)").arg(kFirstVirtualAddress - 1), 4,
                               20, 8, 130);
    pnlPlusMin = new TPlusMinPanel(grpAdres, "pnlPlusMin", [this](int button) { pnlPlusMinMouseDown(button); });
    pnlPlusMin->move(240, 20);
    cboDrukknop = new QComboBox(grpAdres);
    cboDrukknop->setObjectName("cboDrukknop");
    cboDrukknop->addItems({"rood", "groen"});
    cboDrukknop->setGeometry(138, 48, 90, 22);
    edtPulstijd = addNumberField(this, "edtPulstijd", QString("Pulstijd (0 tot %1)(x100ms)").arg(kMaxPulseTime), 3,
                                 94, 14, 160);
    lblPulstijd = findChild<QLabel*>("lblPulstijd");
    lblDecoder = new QLabel("Decoder", this);
    lblDecoder->setObjectName("lblDecoder");
    lblDecoder->setGeometry(14, 124, 100, 17);
    cboDecoder = new QComboBox(this);
    cboDecoder->setObjectName("cboDecoder");
    cboDecoder->addItems({"Motorola", "DCC"});
    cboDecoder->setGeometry(174, 122, 100, 22);
    btnSchakelen = new QPushButton("Schakelen", this);
    btnSchakelen->setObjectName("btnSchakelen");
    btnSchakelen->setGeometry(14, 156, 90, 25);
    btnSchakelen->setAutoDefault(false);
    addButtons(194, 9);
    connect(btnOK, &QPushButton::clicked, this, &TfrmUitgang::btnOKClick);
    connect(btnSchakelen, &QPushButton::clicked, this, &TfrmUitgang::btnSchakelenClick);
    connect(edtNummer, &QLineEdit::textEdited, this, &TfrmUitgang::edtNummerChange);
    connect(cboDrukknop, &QComboBox::activated, this, &TfrmUitgang::cboDrukknopChange);
    connect(edtPulstijd, &QLineEdit::textEdited, this, &TfrmUitgang::edtPulstijdChange);
    watchKeys();
}

void TfrmUitgang::showOutputDecoderControls(int address) {
    const bool decoder = address < kFirstVirtualAddress;
    for (QWidget* w : std::initializer_list<QWidget*>{lblPulstijd, edtPulstijd, lblDecoder, cboDecoder})
        w->setVisible(decoder);
}

void TfrmUitgang::FormActivate() {
    if (gActiveDialog != kDialogCode) {
        showMousePointer();
        edtNummer->setEnabled(true);
        edtNummer->setFocus();
    }
    gActiveDialog = kDialogCode;
    OutputRec* o = gSelectedOutput;
    btnSchakelen->setEnabled(o && !beingInserted(o) && !gMovingOutput);
    cboDecoder->setEnabled(!sessionRunning());
    btnOK->setEnabled(o != nullptr);
    if (o) {
        const int address = o->key / 2;
        setFieldValue(edtNummer, address);
        cboDrukknop->setCurrentIndex(o->key & 1);
        showOutputDecoderControls(address);
        if (address < kFirstVirtualAddress) {
            setFieldValue(edtPulstijd, o->pulseTime);
            cboDecoder->setCurrentIndex(decoderEntryOf(address).protocol ? 1 : 0);
        }
    }
    pnlPlusMin->setVisible(o && edtNummer->isEnabled() && !sessionRunning());
}

void TfrmUitgang::edtNummerChange() {
    const int address = fieldValue(edtNummer);
    if (!sessionRunning()) {
        showOutputDecoderControls(address);
        return;
    }
    gSelectedOutput = outputWithAddress(address);
    FormActivate();
}

void TfrmUitgang::cboDrukknopChange() {
    if (!sessionRunning()) return;
    gSelectedOutput = outputWithKey(fieldValue(edtNummer) * 2 + cboDrukknop->currentIndex());
    FormActivate();
}

void TfrmUitgang::pnlPlusMinMouseDown(int button) {
    const int key = fieldValue(edtNummer) * 2 + cboDrukknop->currentIndex();
    const int own = gSelectedOutput ? gSelectedOutput->key : 0;
    const int k = findFreeAddress(key, own, 0, kAddressOutput, button == 1 ? 1 : -1);
    if (k == 0) return;
    setFieldValue(edtNummer, k / 2);
    cboDrukknop->setCurrentIndex(k & 1);
    showOutputDecoderControls(k / 2);
}

void TfrmUitgang::btnSchakelenClick() { operateOutput(gSelectedOutput); }

void TfrmUitgang::edtPulstijdChange() { clampPulseTimeField(edtPulstijd); }

void TfrmUitgang::btnOKClick() {
    if (gMessageShown) return;
    OutputRec* o = gSelectedOutput;
    if (!o) return;
    const int pulse = fieldValue(edtPulstijd);
    if (sessionRunning()) {
        o->pulseTime = static_cast<uint8_t>(pulse);
        const int index = gOutputs.indexOf(o);
        // Every output record names the output by its address (key / 2): the server finds the output by
        // it, so sending the key would have the request ignored.
        netQueueRecord(30, 8, 37, o->key / 2, index, pulse);
        netQueueRecord(40, 8, 37, o->key / 2, index, pulse);
        close();
        return;
    }
    const int address = fieldValue(edtNummer);
    if (address < 1 || address > kMaxAccessoryNumber) return;
    const int key = address * 2 + cboDrukknop->currentIndex();
    if (findFreeAddress(key, o->key, 0, kAddressOutput, 0) != key) {
        showDialogMessage("Het adres is reeds gebruikt !", 1);
        return;
    }
    if (address < kFirstVirtualAddress) decoderEntryOf(address).protocol = static_cast<uint8_t>(cboDecoder->currentIndex());
    if (beingInserted(o)) {
        o->key = static_cast<int16_t>(key);
        o->pulseTime = static_cast<uint8_t>(pulse);
        storeNewOutput();
    } else {
        const OutputRec previous = *o;
        drawOutput(*o, 1, 1);
        o->key = static_cast<int16_t>(key);
        o->pulseTime = static_cast<uint8_t>(pulse);
        drawOutput(*o, 0, 1);
        gDirtyFlags |= 2;
        const int index = gOutputs.indexOf(o);
        journalRecordEdit('w', o, &previous, index, index);
    }
    close();
}

void TfrmUitgang::FormClose() {
    editModeAfterElementDialog();
    gActiveDialog = 0;
}
