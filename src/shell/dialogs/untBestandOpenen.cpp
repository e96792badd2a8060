#include "shell/dialogs/untBestandOpenen.h"

#include "shell/window/form_setup.h"

TfrmBestandOpenen* frmBestandOpenen = nullptr;

TfrmBestandOpenen::TfrmBestandOpenen(QWidget* parent) : QDialog(parent) { setupForm(this, "frmBestandOpenen", "Bestand openen", 320, 300); }
