#include "link/untProg.h"

#include "shell/form_setup.h"

TfrmProg* frmProg = nullptr;

TfrmProg::TfrmProg(QWidget* parent) : QDialog(parent) { setupForm(this, "frmProg", "Programmeren loc", 360, 260); }
