#include "train_dialog_input.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "operation/dialogs/untTrein.h"
#include "operation/model/train_model.h"
#include "shell/shell_test_support.h"

LocoRec* addLocoInDialog(int number, const char* name, int kind, int decoder) {
    frmTrein->edtLocNummer->setText(QString::number(number));
    frmTrein->btnLocToevoegen->click();
    LocoRec* loco = findLocoByNumber(number);
    if (!loco) return nullptr;
    QTest::keyClicks(frmTrein->edtLocNaam, name);
    frmTrein->cboLocSoort->setCurrentIndex(kind);
    frmTrein->cboLocSoortChange();
    frmTrein->cboDecoder->setCurrentIndex(decoder);
    frmTrein->cboDecoderChange();
    return loco;
}

void addWagonBehind() {
    whenModal([](QWidget* modal) {
        clickButton(modal, "btnNieuw");
        clickButton(modal, "btnOK");
    });
    frmTrein->btnWagToevoegen->click();
}
