#pragma once
// The real main window for drawing with real mouse and key events: the tools are chosen by their keys,
// points are placed by moving the pointer over the diagram and clicking. The cycle is stopped once the
// start-up redraw has passed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "layout/editor/edit_input.h"
#include "shell/config/messages.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"
#include "shell/model/schema_state.h"
#include "shell/shell_test_support.h"
#include "shell/window/image_view.h"
#include "shell/window/untSchema.h"

class DrawingWindow : public ::testing::Test {
protected:
    void SetUp() override {
        program.start();
        QApplication::setActiveWindow(frmSchema);
        ASSERT_TRUE(processUntil([] { return QApplication::activeWindow() == frmSchema; }));
        // The redraw that showing the window asked for puts the pointer aside when it comes: let it pass.
        // Then the cycle stops: drawing does not need it, and its hover label would come to stand where
        // the pointer goes next and take the pointer's events.
        ASSERT_TRUE(processUntil([] { return gRedrawCountdown == 0; }));
        frmSchema->Timer1->stop();
    }
    // An operation still running is ended as the main window ends it.
    void TearDown() override {
        for (int k = 0; k < 4 && gEditOpRunning; ++k) {
            if (gEditMode == 2 || gEditMode == 3) gEditMode = 4;
            dispatchEditInput(1);
        }
    }
    static QWidget* diagram() { return frmSchema->imgSchema; }
    // The first movement after a left click is ignored, as a real pointer's is; the second one counts.
    static void moveTo(QPoint p) {
        QTest::mouseMove(diagram(), p + QPoint(1, 1));
        QTest::mouseMove(diagram(), p);
    }
    static void clickAt(QPoint p, Qt::MouseButton button = Qt::LeftButton) {
        moveTo(p);
        QTest::mouseClick(diagram(), button, {}, p);
    }
    static void doubleClickAt(QPoint p) {
        clickAt(p);
        QTest::mouseClick(diagram(), Qt::LeftButton, {}, p);
    }
    static void key(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(frmSchema, static_cast<Qt::Key>(qtKey), modifiers);
    }
    static void turn(int steps) {
        for (int k = 0; k < steps; ++k) key(Qt::Key_T);
    }
    // The first Esc makes the next element of the tool, the second one ends the tool.
    static void endTool() {
        key(Qt::Key_Escape);
        key(Qt::Key_Escape);
        EXPECT_EQ(gEditOpRunning, 0);
    }
    // A new element's dialog, when it is built, is confirmed with its proposed values.
    static void confirmed(QDialog* form) {
        if (form->isVisible()) form->findChild<QPushButton*>("btnOK")->click();
        ASSERT_TRUE(processUntil([] { return gEditMode == 5u; })) << lastDialogMessage();
        EXPECT_FALSE(form->isVisible());
    }
    // The user reads the message (the window comes to the front) and clicks its OK.
    static void closeMessage(const char* expected) {
        ASSERT_TRUE(frmBoodschap->isVisible());
        EXPECT_EQ(frmBoodschap->tekst(), expected);
        ASSERT_TRUE(processUntil([] { return QApplication::activeWindow() == frmBoodschap; }));
        frmBoodschap->btnOK->click();
        QApplication::setActiveWindow(frmSchema);
        ASSERT_TRUE(processUntil([] { return QApplication::activeWindow() == frmSchema; }));
        EXPECT_FALSE(frmBoodschap->isVisible());
        EXPECT_EQ(gMessageShown, 0);
    }
    RunningProgram program;
};
