#include "operation/dialogs/untTijd.h"

#include "shell/window/form_setup.h"

TfrmTijd* frmTijd = nullptr;

TfrmTijd::TfrmTijd(QWidget* parent) : QDialog(parent) { setupForm(this, "frmTijd", "Tijd", 240, 140); }
