#include "link/dialogs/untProg.h"

#include "shell/window/form_setup.h"

TfrmProg* frmProg = nullptr;

TfrmProg::TfrmProg(QWidget* parent) : QDialog(parent) { setupForm(this, "frmProg", "Programmeren loc", 360, 260); }
