#include "layout/dialogs/untIngang.h"

#include "shell/window/form_setup.h"

TfrmIngang* frmIngang = nullptr;

TfrmIngang::TfrmIngang(QWidget* parent) : QDialog(parent) { setupForm(this, "frmIngang", "Nummer ingang S88", 240, 140); }
