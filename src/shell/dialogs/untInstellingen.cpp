#include "shell/dialogs/untInstellingen.h"

#include "shell/window/form_setup.h"

TfrmInstellingen* frmInstellingen = nullptr;

TfrmInstellingen::TfrmInstellingen(QWidget* parent) : QDialog(parent) { setupForm(this, "frmInstellingen", "Instellingen", 480, 400); }
