#include "shell/window/main_window.h"

#include <QComboBox>
#include <QLabel>
#include <QTimer>
#include <algorithm>
#include <string>

#include "layout/draw/diagram_canvas.h"
#include "layout/frame/render.h"
#include "layout/model/layout_model.h"
#include "platform/text_codec.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"
#include "shell/dialogs/untInstellingen.h"
#include "shell/window/untSchema.h"
#include "shell/window/widget_colours.h"

bool mainWindowVisible() { return frmSchema && frmSchema->isVisible(); }

namespace {
// The entry of a settings list for a digit '1'.. ('1' is entry 0); empty outside the list.
QString listEntry(const char* const* items, int count, char digit) {
    const int i = digit - '1';
    return i >= 0 && i < count ? QString::fromLatin1(items[i]) : QString();
}
}  // namespace

void updateTitleTexts() {
    if (!frmSchema) return;
    const std::string& name = gLayoutFileName;
    const std::string base = name.size() > 4 ? name.substr(0, name.size() - 4) : std::string();
    frmSchema->lblBestandsnaam->setText(vestrel::fromCp1252(": " + base));
    if (frmInstellingen) {
        frmSchema->lblZoomwaarde->setText(listEntry(kZoomItems, kZoomItemCount, gZoomDigit));
        frmSchema->lblVarWissel->setText(gTurnoutSizeMode == 1 ? "Wisselafmeting : variabel"
                                                               : "Wisselafmeting : vast");
        frmSchema->lblSchaalwaarde->setText(listEntry(kScaleItems, kScaleItemCount, gScaleDigit));
    }
    frmSchema->setWindowTitle(
        vestrel::fromCp1252("Brandelwyn Modelspoorprogramma - " + gLayoutFileName + " - " + gLocoFileName));
}

void showVisibilityLabels() {
    if (!frmSchema) return;
    setTextColour(frmSchema->lblVisuNummer, gSettings.chboVisuNummer ? vestrel::clGray : vestrel::clBlue);
    setTextColour(frmSchema->lblVisuSectie, gSettings.chboVisuSectie ? vestrel::clGray : vestrel::clBlue);
}

void sizeMainWindowToCanvas() {
    if (!frmSchema) return;
    // A narrower canvas would leave the emergency stop, the last control posts and the right-hand menus
    // outside the window: the window keeps its designed width and the diagram takes all of it.
    gCanvasSize.width = std::max(gCanvasSize.width, kMainWindowMinWidth);
    frmSchema->setClientSize(gCanvasSize.width, gCanvasSize.height);
    // Another layout stands in the tables now: none of the picture on the screen is still true.
    scheduleFullRedraw();
}

void scheduleMainWindowSizing() {
    scheduleCanvasResize(sizeMainWindowToCanvas);
    if (frmSchema) QTimer::singleShot(0, frmSchema, [] { runScheduledCanvasResize(); });
}
