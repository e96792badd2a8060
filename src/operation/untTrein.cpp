#include "operation/untTrein.h"

#include "shell/form_setup.h"

TfrmTrein* frmTrein = nullptr;

TfrmTrein::TfrmTrein(QWidget* parent) : QDialog(parent) { setupForm(this, "frmTrein", "Treinbeheer", 640, 480); }
