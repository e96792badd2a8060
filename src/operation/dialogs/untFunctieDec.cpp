#include "operation/dialogs/untFunctieDec.h"

#include <QPushButton>

#include "link/buffers/link_buffers.h"
#include "link/dialogs/untProg.h"
#include "link/port/decoder_programming.h"
#include "operation/control/control_post.h"
#include "operation/model/train_model.h"
#include "shell/window/form_setup.h"

TfrmFunctieDec* frmFunctieDec = nullptr;

TfrmFunctieDec::TfrmFunctieDec(QWidget* parent) : QDialog(parent) {
    setupForm(this, "frmFunctieDec", "Functiedecoder", 560, 420);
    btnCVProg = new QPushButton("Programmeren", this);
    btnCVProg->setObjectName("btnCVProg");
    btnCVProg->setGeometry(10, 380, 100, 25);
    connect(btnCVProg, &QPushButton::clicked, this, &TfrmFunctieDec::btnCVProgClick);
}

void TfrmFunctieDec::btnCVProgClick() {
    if (!directMode() || gMmProgState != 0 || !gCurFunctionDecoder || !frmProg) return;
    frmProg->Tag = 0;
    gProgLoco = nullptr;
    gProgFunctionDecoder = gCurFunctionDecoder;
    frmProg->show();
    frmProg->raise();
}
