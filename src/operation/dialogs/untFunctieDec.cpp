#include "operation/dialogs/untFunctieDec.h"

#include "shell/window/form_setup.h"

TfrmFunctieDec* frmFunctieDec = nullptr;

TfrmFunctieDec::TfrmFunctieDec(QWidget* parent) : QDialog(parent) { setupForm(this, "frmFunctieDec", "Functiedecoder", 560, 420); }
