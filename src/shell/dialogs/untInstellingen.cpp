#include "shell/dialogs/untInstellingen.h"

#include <QLineEdit>

#include "network/model/net_config_file.h"
#include "shell/window/form_setup.h"

TfrmInstellingen* frmInstellingen = nullptr;

namespace {
QLineEdit* makeEdit(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(kNetConfigTextMax);
    return edit;
}
}  // namespace

TfrmInstellingen::TfrmInstellingen(QWidget* parent) : QDialog(parent) {
    setupForm(this, "frmInstellingen", "Instellingen", 480, 400);
    edtPCNaam = makeEdit(this, "edtPCNaam");
    edtPCAdres = makeEdit(this, "edtPCAdres");
}
