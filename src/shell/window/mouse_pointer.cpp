#include "shell/window/mouse_pointer.h"

#include "platform/pointer.h"
#include "shell/window/image_view.h"
#include "shell/model/input_state.h"
#include "shell/window/untSchema.h"

uint8_t gPointerShown = 0;

void showMousePointer() {
    if (frmSchema && frmSchema->cursor().shape() == Qt::BlankCursor) frmSchema->setCursor(Qt::ArrowCursor);
    gPointerShown = 1;
}

void hideMousePointer() {
    if (frmSchema) frmSchema->setCursor(Qt::BlankCursor);
    gPointerShown = 0;
}

int moveMouseToPoint(int x, int y) {
    int moved = 0;
    if (frmSchema) {
        const QPoint screen = frmSchema->imgSchema->mapToGlobal(QPoint(x, y));
        moved = vestrel::movePointerTo(screen.x(), screen.y()) ? 1 : 0;
    }
    gMousePoint = {x, y};
    return moved;
}
