#include "shell/window/schema_controls.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

#include "layout/model/layout_model.h"
#include "layout/model/scale.h"
#include "platform/text_codec.h"
#include "shell/window/image_view.h"
#include "shell/window/untSchema.h"

namespace {
void fillItems(QComboBox* box, const std::vector<std::string>& items) {
    const int index = box->currentIndex();
    box->clear();
    for (const std::string& item : items) box->addItem(vestrel::fromCp1252(item));
    box->setCurrentIndex(index);
}
}  // namespace

void setTurnoutSizeItems(const std::vector<std::string>& lengths, const std::vector<std::string>& widths) {
    if (!frmSchema) return;
    fillItems(frmSchema->cboWissellengte, lengths);
    fillItems(frmSchema->cboWisselbreedte, widths);
}

void selectTurnoutSizeItems(int lengthIndex, int widthIndex) {
    if (!frmSchema) return;
    frmSchema->cboWissellengte->setCurrentIndex(lengthIndex);
    frmSchema->cboWisselbreedte->setCurrentIndex(widthIndex);
}

namespace {
void showTurnoutSize(bool refill) {
    if (refill) {
        std::vector<std::string> lengths;
        for (int i = 0; i < 5; ++i) lengths.push_back(turnoutLengthItem(i));
        setTurnoutSizeItems(lengths, {turnoutWidthItem(0), turnoutWidthItem(1)});
    }
    selectTurnoutSizeItems(gTurnoutLengthIndex, gTurnoutWidthIndex);
}
// The lists follow the turnout size from the start, also before the main window exists (they then do
// nothing), as they did when the scale code filled them itself.
const bool kListening = (gTurnoutSizeShown = showTurnoutSize, true);
}  // namespace

// The diagram image lies below the 65-pixel band of the tool bar and the control posts, and ends
// 88 pixels above the canvas bottom; the status strips take the bottom 23 pixels.
void placeDiagramControls(int width, int height) {
    if (!frmSchema) return;
    TfrmSchema& f = *frmSchema;
    f.grpStatus->setGeometry(0, height - 23, width - 1, 23);
    f.lblTijd->move(width - 60, f.lblTijd->y());
    f.grpStatusTekenpost->setGeometry(f.grpStatus->geometry());
    f.grpCmdpost->resize(width - 1, f.grpCmdpost->height());
    f.imgSchema->setGeometry(0, 65, width, std::max(0, height - 88));
    resizeCanvasKeeping(f.imgSchema->Canvas, width, std::max(1, height - 88), vestrel::clSilver);
}

bool directionLegendOrigin(int& x, int& y) {
    if (!frmSchema) return false;
    const QGroupBox* file = frmSchema->grpBestand;
    x = file->x() + file->width() - 160;
    y = frmSchema->lblCurPos->y() + 8;
    return true;
}
