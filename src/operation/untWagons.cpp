#include "operation/untWagons.h"

#include "shell/form_setup.h"

TfrmWagons* frmWagons = nullptr;

TfrmWagons::TfrmWagons(QWidget* parent) : QDialog(parent) { setupForm(this, "frmWagons", "Wagons", 640, 400); }
