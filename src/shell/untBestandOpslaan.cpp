#include "shell/untBestandOpslaan.h"

#include "shell/form_setup.h"

TfrmBestandOpslaan* frmBestandOpslaan = nullptr;

TfrmBestandOpslaan::TfrmBestandOpslaan(QWidget* parent) : QDialog(parent) { setupForm(this, "frmBestandOpslaan", "Bestand opslaan", 300, 120); }
