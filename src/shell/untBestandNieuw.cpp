#include "shell/untBestandNieuw.h"

#include "shell/form_setup.h"

TfrmBestandNieuw* frmBestandNieuw = nullptr;

TfrmBestandNieuw::TfrmBestandNieuw(QWidget* parent) : QDialog(parent) { setupForm(this, "frmBestandNieuw", "Nieuw bestand", 300, 140); }
