#include "operation/dialogs/untLoks.h"

#include "shell/window/form_setup.h"

TfrmLoks* frmLoks = nullptr;

TfrmLoks::TfrmLoks(QWidget* parent) : QDialog(parent) { setupForm(this, "frmLoks", "Stuur locomotieven", 760, 300); }
