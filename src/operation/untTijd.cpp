#include "operation/untTijd.h"

#include "shell/form_setup.h"

TfrmTijd* frmTijd = nullptr;

TfrmTijd::TfrmTijd(QWidget* parent) : QDialog(parent) { setupForm(this, "frmTijd", "Tijd", 240, 140); }
