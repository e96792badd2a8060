#include "shell/untBestandOpenen.h"

#include "shell/form_setup.h"

TfrmBestandOpenen* frmBestandOpenen = nullptr;

TfrmBestandOpenen::TfrmBestandOpenen(QWidget* parent) : QDialog(parent) { setupForm(this, "frmBestandOpenen", "Bestand openen", 320, 300); }
