#include "operation/dialogs/untLok.h"

#include "shell/window/form_setup.h"

TfrmLok* frmLok = nullptr;

TfrmLok::TfrmLok(QWidget* parent) : QDialog(parent) { setupForm(this, "frmLok", "Locomotief", 300, 300); }
