#pragma once
// Driving the editor's insert and move operations as the main window's input does, without a window: the
// pointer, clicks and keys go through dispatchEditorCommand and dispatchEditInput. The scale is the
// program's default (grid 8, turnout length 32 and branch 30, snap tolerance 4, 3 cm = 5 units,
// 50 cm = 84 units) on an 800 x 480 canvas, in a fresh working folder.
#include <gtest/gtest.h>

#include "layout/draw/diagram_area.h"
#include "layout/editor/edit_input.h"
#include "layout/editor/editor_dispatch.h"
#include "layout/editor/editor_state.h"
#include "layout/model/layout_model.h"
#include "layout/model/scale.h"
#include "layout/editor/section_numbers.h"
#include "editor_keys.h"
#include "layout_builder.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"
#include "shell/config/messages.h"
#include "steps/model/step_program.h"
#include "test_support.h"

class EntryTest : public ::testing::Test {
protected:
    void SetUp() override {
        LayoutBuilder();
        gStepPrograms.clear();
        gCanvasSize = {800, 480};
        gCanvasCentre = {400, 240};
        gDrawArea = {0, 0, 800, 392};
        setScaleParameters('3', '5', 0);
        gEditMode = 0;
        gActiveDialog = 0;
        gDirtyFlags = 0;
        gShiftState = 0;
        gSelectedBlock = nullptr;
        nextFreeSectionNumber(0, 0);  // no block dialog has recorded a lowest contact number
    }
    // Whatever still runs is ended as the main window ends it (the finish request).
    void TearDown() override {
        for (int k = 0; k < 4; ++k) {
            if (gEditMode == 2 || gEditMode == 3) gEditMode = 4;  // a message or dialog closed
            if (dispatchEditInput(1) <= 0) break;
        }
    }
    static void move(DiagramPoint p) {
        gMousePoint = p;
        gMouseButton = 0;
        gPendingKey = 0;
        dispatchEditInput(0);
    }
    // The pointer goes there first, as a real click follows a movement.
    static void click(DiagramPoint p, int button = 1) {
        move(p);
        gMouseButton = button;
        dispatchEditorCommand(0);
        gMouseButton = 0;
    }
    static void key(int code, int shift = 0) { editorKey(code, shift); }
    // What closing the message window does for an element being entered: the entry takes up again.
    static void closeMessage() { gEditMode = 4; }
    testsupport::ScratchDir dir;  // the edit journal's file goes here
};
