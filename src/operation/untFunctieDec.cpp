#include "operation/untFunctieDec.h"

#include "shell/form_setup.h"

TfrmFunctieDec* frmFunctieDec = nullptr;

TfrmFunctieDec::TfrmFunctieDec(QWidget* parent) : QDialog(parent) { setupForm(this, "frmFunctieDec", "Functiedecoder", 560, 420); }
