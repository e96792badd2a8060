#include "operation/untLoks.h"

#include "shell/form_setup.h"

TfrmLoks* frmLoks = nullptr;

TfrmLoks::TfrmLoks(QWidget* parent) : QDialog(parent) { setupForm(this, "frmLoks", "Stuur locomotieven", 760, 300); }
