#include "shell/dialogs/untDemo.h"

#include "shell/window/form_setup.h"

TfrmDemo* frmDemo = nullptr;

TfrmDemo::TfrmDemo(QWidget* parent) : QDialog(parent) { setupForm(this, "frmDemo", "Demo", 792, 64); }
