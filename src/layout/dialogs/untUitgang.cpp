#include "layout/dialogs/untUitgang.h"

#include "shell/window/form_setup.h"

TfrmUitgang* frmUitgang = nullptr;

TfrmUitgang::TfrmUitgang(QWidget* parent) : QDialog(parent) { setupForm(this, "frmUitgang", "Uitgang (ontkoppelrail, ...)", 300, 240); }
