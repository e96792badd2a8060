#include "shell/window/status_line.h"

#include <QApplication>
#include <QGroupBox>

#include "layout/model/layout_model.h"
#include "shell/model/app_state.h"
#include "shell/window/schema_canvas.h"
#include "shell/window/image_view.h"
#include "shell/window/panel_3d.h"
#include "shell/model/schema_state.h"
#include "shell/window/untSchema.h"

std::string gStatusText;
uint8_t gStatusLineShown = 0;

namespace {

void limitStatusText() {
    if (gStatusText.size() > kStatusTextMax) gStatusText.resize(kStatusTextMax);
}

QWidget* currentStatusStrip() {
    return sessionRunning() ? static_cast<QWidget*>(frmSchema->grpStatus) : frmSchema->grpStatusTekenpost;
}

void drawStatusLine(const std::string& text) {
    if (!gStatusLineShown) {
        if (!text.empty()) {
            gStatusText = text;
            limitStatusText();
        }
        currentStatusStrip()->hide();
    }
    vestrel::Canvas& c = *mainWindowCanvas();
    const int left = 1;
    const int top = gCanvasSize.height - gStatusTextHeight - 11;
    const int right = gCanvasSize.width - 1;
    const int bottom = gCanvasSize.height - 1;
    draw3dPanel(left, top, right, bottom, vestrel::clRed, c);
    c.Brush.Style = vestrel::BrushStyle::Clear;
    c.Font = vestrel::TFont{"Arial", 8, vestrel::clWhite};
    c.TextOut(left + 10, top + 5, gStatusText);
    gStatusLineShown = 1;
    frmSchema->ClientArea->updateDrawn();
}

}  // namespace

void setStatusLine(const std::string& text, int mode) {
    if (mode == 1) {
        gStatusText = text;
        limitStatusText();
    } else if (mode != 0) {
        gStatusText += text;
        limitStatusText();
    } else if (frmSchema) {
        drawStatusLine(text);
    } else if (!text.empty()) {
        gStatusText = text;
        limitStatusText();
    }
}

void clearStatusLine() {
    if (frmSchema) {
        vestrel::Canvas& c = *mainWindowCanvas();
        c.Brush.Color = vestrel::clBtnFace;
        c.Brush.Style = vestrel::BrushStyle::Solid;
        c.FillRect({0, gCanvasSize.height - gStatusTextHeight - 12, gCanvasSize.width, gCanvasSize.height});
        currentStatusStrip()->show();
        frmSchema->ClientArea->updateDrawn();
    }
    gStatusLineShown = 0;
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
}
