#include "shell/dialogs/untInstellingen.h"

#include <QLineEdit>

#include "layout/draw/element_draw.h"
#include "layout/model/layout_model.h"
#include "network/model/net_config_file.h"
#include "shell/dialogs/untBoodschap.h"
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

void applyFeedbackVisualisation(int flag) {
    for (BlockRec* b : gBlocks)
        if (b->occupiedSections != 0) drawBlock(*b, 0, 1);
    if (flag == 0 && frmBoodschap && frmBoodschap->isVisible()) frmBoodschap->close();
}
