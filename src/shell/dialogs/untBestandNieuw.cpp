#include "shell/dialogs/untBestandNieuw.h"

#include "shell/window/form_setup.h"

TfrmBestandNieuw* frmBestandNieuw = nullptr;

TfrmBestandNieuw::TfrmBestandNieuw(QWidget* parent) : QDialog(parent) { setupForm(this, "frmBestandNieuw", "Nieuw bestand", 300, 140); }
