#include "operation/untLok.h"

#include "shell/form_setup.h"

TfrmLok* frmLok = nullptr;

TfrmLok::TfrmLok(QWidget* parent) : QDialog(parent) { setupForm(this, "frmLok", "Locomotief", 300, 300); }
