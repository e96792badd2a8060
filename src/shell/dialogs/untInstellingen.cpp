#include "shell/dialogs/untInstellingen.h"

#include "layout/draw/element_draw.h"
#include "layout/model/layout_model.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/window/form_setup.h"

TfrmInstellingen* frmInstellingen = nullptr;

TfrmInstellingen::TfrmInstellingen(QWidget* parent) : QDialog(parent) { setupForm(this, "frmInstellingen", "Instellingen", 480, 400); }

void applyFeedbackVisualisation(int flag) {
    for (BlockRec* b : gBlocks)
        if (b->occupiedSections != 0) drawBlock(*b, 0, 1);
    if (flag == 0 && frmBoodschap && frmBoodschap->isVisible()) frmBoodschap->close();
}
