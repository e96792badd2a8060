#include "layout/dialogs/untIngang.h"

#include <QLineEdit>
#include <QPushButton>

#include "layout/draw/element_draw.h"
#include "layout/editor/edit_journal.h"
#include "layout/editor/editor_state.h"
#include "layout/editor/entry_handoff.h"
#include "layout/editor/entry_state.h"
#include "shell/config/messages.h"
#include "shell/model/app_state.h"
#include "shell/window/form_setup.h"
#include "shell/window/mouse_pointer.h"

TfrmIngang* frmIngang = nullptr;

namespace {

constexpr int kDialogCode = 10;
constexpr int kMaxInput = 496;

InputRec* inputNumbered(int number, const InputRec* except) {
    for (InputRec* i : gInputs)
        if (i != except && i->number == number) return i;
    return nullptr;
}

bool beingInserted(const InputRec* i) { return i && i == gEntered.input.get(); }

}  // namespace

TfrmIngang::TfrmIngang(QWidget* parent) : TElementDialog(parent) {
    setupForm(this, "frmIngang", "Nummer ingang S88", 300, 110);
    edtNummer = addNumberField(this, "edtNummer", QString("Nummer (1 tot %1)").arg(kMaxInput), 3, 14, 10, 130);
    pnlPlusMin = new TPlusMinPanel(this, "pnlPlusMin", [this](int button) { pnlPlusMinMouseDown(button); });
    pnlPlusMin->move(200, 14);
    addButtons(60, 24);
    connect(btnOK, &QPushButton::clicked, this, &TfrmIngang::btnOKClick);
    connect(edtNummer, &QLineEdit::textEdited, this, &TfrmIngang::edtNummerChange);
    watchKeys();
}

void TfrmIngang::FormActivate() {
    if (gActiveDialog != kDialogCode) {
        showMousePointer();
        edtNummer->setEnabled(true);
        edtNummer->setFocus();
    }
    gActiveDialog = kDialogCode;
    btnOK->setEnabled(gSelectedInput != nullptr);
    if (gSelectedInput) setFieldValue(edtNummer, gSelectedInput->number);
    pnlPlusMin->setVisible(gSelectedInput && edtNummer->isEnabled() && !sessionRunning());
}

void TfrmIngang::edtNummerChange() {
    if (!sessionRunning()) return;
    gSelectedInput = inputNumbered(fieldValue(edtNummer), nullptr);
    FormActivate();
}

void TfrmIngang::pnlPlusMinMouseDown(int button) {
    const int step = button == 1 ? 1 : -1;
    int n = fieldValue(edtNummer) + step;
    while (n >= 1 && n <= kMaxInput && inputNumbered(n, gSelectedInput)) n += step;
    if (n >= 1 && n <= kMaxInput) setFieldValue(edtNummer, n);
}

void TfrmIngang::btnOKClick() {
    if (gMessageShown) return;
    InputRec* input = gSelectedInput;
    if (!sessionRunning() && input) {
        const int number = fieldValue(edtNummer);
        if (number < 1 || number > kMaxInput) return;
        if (inputNumbered(number, input)) {
            showDialogMessage("Het nummer is reeds gebruikt !", 1);
            return;
        }
        if (beingInserted(input)) {
            input->number = static_cast<int16_t>(number);
            storeNewInput();
        } else {
            const InputRec previous = *input;
            drawInput(*input, 1, 1);
            input->number = static_cast<int16_t>(number);
            drawInput(*input, 0, 1);
            gDirtyFlags |= 2;
            const int index = gInputs.indexOf(input);
            journalRecordEdit('w', input, &previous, index, index);
        }
    }
    close();
}

void TfrmIngang::FormClose() {
    editModeAfterElementDialog();
    gActiveDialog = 0;
}
