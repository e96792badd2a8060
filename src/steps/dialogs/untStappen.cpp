#include "steps/dialogs/untStappen.h"

#include "shell/window/form_setup.h"

TfrmStappen* frmStappen = nullptr;

TfrmStappen::TfrmStappen(QWidget* parent) : QDialog(parent) { setupForm(this, "frmStappen", "Stappenprogramma", 640, 480); }
