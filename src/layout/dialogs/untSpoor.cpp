#include "layout/dialogs/untSpoor.h"

#include "shell/window/form_setup.h"

TfrmSpoor* frmSpoor = nullptr;

TfrmSpoor::TfrmSpoor(QWidget* parent) : QDialog(parent) { setupForm(this, "frmSpoor", "Verbindingsspoor", 240, 140); }
