#include "operation/dialogs/untTraject.h"

#include "shell/window/form_setup.h"

TfrmTraject* frmTraject = nullptr;

TfrmTraject::TfrmTraject(QWidget* parent) : QDialog(parent) { setupForm(this, "frmTraject", "Gegevens Traject", 560, 400); }

// The route editor is not built yet.
void TfrmTraject::FormActivate() {}
