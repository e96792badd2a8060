#include "operation/dialogs/untWagons.h"

#include "shell/window/form_setup.h"

TfrmWagons* frmWagons = nullptr;

TfrmWagons::TfrmWagons(QWidget* parent) : QDialog(parent) { setupForm(this, "frmWagons", "Wagons", 640, 400); }
