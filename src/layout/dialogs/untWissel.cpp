#include "layout/dialogs/untWissel.h"

#include "shell/window/form_setup.h"

TfrmWissel* frmWissel = nullptr;

TfrmWissel::TfrmWissel(QWidget* parent) : QDialog(parent) { setupForm(this, "frmWissel", "Gegevens Wissel", 300, 260); }
