#include "link/untComVrij.h"

#include "shell/form_setup.h"

TfrmComVrij* frmComVrij = nullptr;

TfrmComVrij::TfrmComVrij(QWidget* parent) : QDialog(parent) { setupForm(this, "frmComVrij", "Vrije COM-poorten", 240, 200); }
