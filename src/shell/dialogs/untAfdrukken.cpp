#include "shell/dialogs/untAfdrukken.h"

#include "shell/window/form_setup.h"

TfrmAfdrukken* frmAfdrukken = nullptr;

TfrmAfdrukken::TfrmAfdrukken(QWidget* parent) : QDialog(parent) { setupForm(this, "frmAfdrukken", "Afdrukken", 300, 200); }
