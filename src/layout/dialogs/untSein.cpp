#include "layout/dialogs/untSein.h"

#include "shell/window/form_setup.h"

TfrmSein* frmSein = nullptr;

TfrmSein::TfrmSein(QWidget* parent) : QDialog(parent) { setupForm(this, "frmSein", "Gegevens sein", 300, 240); }
