#include "layout/dialogs/untDraaischijf.h"

#include "shell/window/form_setup.h"

TfrmDraaischijf* frmDraaischijf = nullptr;

TfrmDraaischijf::TfrmDraaischijf(QWidget* parent) : QDialog(parent) { setupForm(this, "frmDraaischijf", "Draaischijf", 420, 380); }
