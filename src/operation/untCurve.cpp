#include "operation/untCurve.h"

#include "shell/form_setup.h"

TfrmCurve* frmCurve = nullptr;

TfrmCurve::TfrmCurve(QWidget* parent) : QDialog(parent) { setupForm(this, "frmCurve", "Snelheidscurve", 560, 400); }
