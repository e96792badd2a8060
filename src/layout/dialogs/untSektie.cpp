#include "layout/dialogs/untSektie.h"

#include "shell/window/form_setup.h"

TfrmSektie* frmSektie = nullptr;

TfrmSektie::TfrmSektie(QWidget* parent) : QDialog(parent) { setupForm(this, "frmSektie", "Gegevens blok", 480, 420); }
