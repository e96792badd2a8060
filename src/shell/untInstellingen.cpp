#include "shell/untInstellingen.h"

#include "shell/form_setup.h"

TfrmInstellingen* frmInstellingen = nullptr;

TfrmInstellingen::TfrmInstellingen(QWidget* parent) : QDialog(parent) { setupForm(this, "frmInstellingen", "Instellingen", 480, 400); }
