#include "operation/dialogs/untTrein.h"

#include "shell/window/form_setup.h"

TfrmTrein* frmTrein = nullptr;

TfrmTrein::TfrmTrein(QWidget* parent) : QDialog(parent) { setupForm(this, "frmTrein", "Treinbeheer", 640, 480); }
