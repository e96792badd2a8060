#include "shell/untAfdrukken.h"

#include "shell/form_setup.h"

TfrmAfdrukken* frmAfdrukken = nullptr;

TfrmAfdrukken::TfrmAfdrukken(QWidget* parent) : QDialog(parent) { setupForm(this, "frmAfdrukken", "Afdrukken", 300, 200); }
