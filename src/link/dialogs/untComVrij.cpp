#include "link/dialogs/untComVrij.h"

#include "shell/window/form_setup.h"

TfrmComVrij* frmComVrij = nullptr;

TfrmComVrij::TfrmComVrij(QWidget* parent) : QDialog(parent) { setupForm(this, "frmComVrij", "Vrije COM-poorten", 240, 200); }
