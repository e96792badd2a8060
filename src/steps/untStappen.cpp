#include "steps/untStappen.h"

#include "shell/form_setup.h"

TfrmStappen* frmStappen = nullptr;

TfrmStappen::TfrmStappen(QWidget* parent) : QDialog(parent) { setupForm(this, "frmStappen", "Stappenprogramma", 640, 480); }
