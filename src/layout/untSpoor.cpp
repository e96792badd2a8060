#include "layout/untSpoor.h"

#include "shell/form_setup.h"

TfrmSpoor* frmSpoor = nullptr;

TfrmSpoor::TfrmSpoor(QWidget* parent) : QDialog(parent) { setupForm(this, "frmSpoor", "Verbindingsspoor", 240, 140); }
