#include "operation/dialogs/untCurve.h"

#include "shell/window/form_setup.h"

TfrmCurve* frmCurve = nullptr;

TfrmCurve::TfrmCurve(QWidget* parent) : QDialog(parent) { setupForm(this, "frmCurve", "Snelheidscurve", 560, 400); }
