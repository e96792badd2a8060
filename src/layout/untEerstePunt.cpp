#include "layout/untEerstePunt.h"

#include "shell/form_setup.h"

TfrmEerstePunt* frmEerstePunt = nullptr;

TfrmEerstePunt::TfrmEerstePunt(QWidget* parent) : QDialog(parent) { setupForm(this, "frmEerstePunt", "Bepaling richting 'heen'", 300, 120); }
