#include "shell/window/input_routing.h"

#include <algorithm>
#include <cmath>

#include "layout/editor/edit_input.h"
#include "layout/editor/editor_dispatch.h"
#include "layout/editor/editor_state.h"
#include "layout/editor/layout_move.h"
#include "layout/editor/pointer_range.h"
#include "layout/frame/render.h"
#include "layout/editor/track_entry.h"
#include "operation/control/control_post.h"
#include "platform/keyboard.h"
#include "platform/virtual_keys.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"
#include "shell/config/messages.h"

SnapGrid gSnapGrid;
uint8_t gPointerInDiagram = 0;
int8_t gDragCount = 0;
DiagramPoint gDragStart;

namespace {

RoutedCommand gLastRouted;

constexpr int kDragArmed = 10;

bool demoRunning() { return gDemoStep != 0; }

// Moves the view so that the layout offset becomes (x, y); both stay at most 0.
void scrollTo(int32_t x, int32_t y) {
    x = std::min(x, 0);
    y = std::min(y, 0);
    const int32_t dx = x - gLayoutOffset.x;
    const int32_t dy = y - gLayoutOffset.y;
    if (dx == 0 && dy == 0) return;
    gLayoutOffset = {x, y};
    moveLayout(dx, dy);
    gRedrawCountdown = 3;
    redrawSchema(1);
    gRedrawCountdown = 2;
}

void setPointerSource(bool fromImage) {
    if (fromImage)
        gPointerInDiagram |= 2;
    else
        gPointerInDiagram = 0;
}

bool editorTakesRelease(int32_t x, int32_t y, int button) {
    if (gActiveDialog == 0) return true;
    if (isInDrawingArea(x, y) != kInDrawingArea) return false;
    return (gEditMode == kEditClickOpens && button == 2) || gActiveDialog == 4 || gActiveDialog == 14 ||
           gActiveDialog == 11;
}

}  // namespace

void followDiagramGrid() {
    gSnapGrid.step = gGridStep;
    gSnapGrid.originX = static_cast<int16_t>(gLayoutOffset.x % std::max<int>(gGridStep, 1));
    gSnapGrid.originY = static_cast<int16_t>(gLayoutOffset.y % std::max<int>(gGridStep, 1));
}

const RoutedCommand& lastRoutedCommand() { return gLastRouted; }
void forgetRoutedCommand() { gLastRouted = {}; }

void routeEditorCommand(int code) {
    gLastRouted = {'E', code, 0};
    dispatchEditorCommand(code);
}

void routeControlPostCommand(int code, int post) {
    gLastRouted = {'C', code, post};
    controlPostCommand(code, post);
}

void routeCommand(int code) {
    if (sessionRunning())
        routeControlPostCommand(code, gActiveRow);
    else
        routeEditorCommand(code);
}

int normalizeKeyCode(int vk) {
    if (vk == vestrel::VK_ADD) return '+';
    if (vk == vestrel::VK_SUBTRACT) return '-';
    if (vk >= 'A' && vk <= 'Z') return vk + ('a' - 'A');
    if (vk >= vestrel::VK_NUMPAD0 && vk <= vestrel::VK_NUMPAD0 + 9) return '0' + (vk - vestrel::VK_NUMPAD0);
    return vk;
}

void snapPointToGrid(int32_t x, int32_t y) {
    const int g = gSnapGrid.step;
    if (g <= 0) {
        gMousePoint = {x, y};
        return;
    }
    auto snap = [g](int32_t c, int o) {
        return static_cast<int32_t>(std::trunc(static_cast<double>(c - o + g) / g + 0.5)) * g + o - g;
    };
    gMousePoint = {snap(x, gSnapGrid.originX), snap(y, gSnapGrid.originY)};
}

void scrollByPageKey(int key, int shift) {
    if (gEditOpRunning || (key != vestrel::VK_PRIOR && key != vestrel::VK_NEXT)) return;
    const bool sideways = shift & 1;
    const int32_t half = (sideways ? gCanvasSize.width : gCanvasSize.height) / 2;
    const int32_t step = key == vestrel::VK_NEXT ? -half : half;
    if (sideways)
        scrollTo(gLayoutOffset.x + step, gLayoutOffset.y);
    else
        scrollTo(gLayoutOffset.x, gLayoutOffset.y + step);
}

void routeKeyDown(int vk, int modifiers) {
    if (demoRunning() || vk == 0) return;
    // A function key that no enabled menu item took does nothing: its number is a letter's.
    if (vk >= vestrel::VK_F1 && vk <= vestrel::VK_F12) return;
    gPendingKey = static_cast<uint8_t>(normalizeKeyCode(vk & 0xFF));
    gShiftState = ((modifiers & vestrel::kShiftBit) || vestrel::capsLockOn() ? 1 : 0) |
                  (modifiers & (vestrel::kAltBit | vestrel::kCtrlBit));
    scrollByPageKey(gPendingKey, gShiftState);
    routeCommand(0);
    gPendingKey = 0;
    gShiftState &= 1;
    if (gShiftState) showSnapState(true);
}

void routeKeyUp() {
    if (vestrel::capsLockOn()) {
        gShiftState = 1;
        showSnapState(true);
    } else {
        gShiftState = 0;
        showSnapState(false);
    }
}

void routePointerMove(int32_t x, int32_t y, bool fromImage) {
    setPointerSource(fromImage);
    if (gMouseButton == -1) {
        gMouseButton = 0;
        return;
    }
    gPendingKey = 0;
    if (sessionRunning()) return;
    gRepaintRequest = -10;
    if (gActiveDialog != 0 || gMessageShown) {
        requestHoverInfo(y * 65536 + x);
        return;
    }
    if (gEditOpRunning && gShiftState != 1) {
        followDiagramGrid();
        snapPointToGrid(x, y);
    } else {
        gMousePoint = {x, y};
    }
    if (gPointerInDiagram) dispatchEditInput(0);
    requestHoverInfo(gMousePoint.y * 65536 + gMousePoint.x);
}

void routeImageDrag(int32_t x, int32_t y, bool leftHeld) {
    if (gEditOpRunning || (gRedrawCountdown != 0 && gActiveDialog == 0) || !leftHeld) {
        gDragCount = 0;
        return;
    }
    if (gDragCount >= kDragArmed) return;
    if (++gDragCount == kDragArmed) gDragStart = {x, y};
}

void routeImagePress() {
    if (gMovingTrack || gMovingBlock || gEditMode == kEditClickMoves) return;
    gMoveWhole = 20;
}

void routeMouseUp(int32_t x, int32_t y, int button, bool fromImage, int modifiers) {
    setPointerSource(fromImage);
    if (demoRunning()) return;
    gMouseButton = button;
    if (!gEditOpRunning) gMousePoint = {x, y};
    if (gMoveWhole > 1) gMoveWhole = 0;
    if (gDragCount == kDragArmed) {
        gDragCount = 0;
        scrollTo(gLayoutOffset.x + x - gDragStart.x, gLayoutOffset.y + y - gDragStart.y);
    } else if (sessionRunning()) {
        if (gPointerInDiagram) {
            gShiftState = (gShiftState & 1) | (modifiers & (vestrel::kAltBit | vestrel::kCtrlBit));
            routeControlPostCommand(0, gActiveRow);
            gShiftState &= 1;
        }
    } else if (editorTakesRelease(x, y, button)) {
        routeEditorCommand(0);
    }
    gMouseButton = gMouseButton == 1 ? -1 : 0;
}
