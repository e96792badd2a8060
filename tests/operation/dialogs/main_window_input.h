#pragma once
// Input on the real main window during a session: giving it the focus and clicking its diagram.
#include <QApplication>
#include <QTest>

#include "shell/dialogs/untBoodschap.h"
#include "shell/shell_test_support.h"
#include "shell/window/image_view.h"
#include "shell/window/untSchema.h"

// Closes the message window and makes the main window the active one, so that its keys reach it.
inline bool focusMainWindow() {
    if (frmBoodschap->isVisible()) frmBoodschap->close();
    QApplication::setActiveWindow(frmSchema);
    return processUntil([] { return QApplication::activeWindow() == frmSchema; });
}

// A left click on the diagram at p, the pointer moved there first as a user's would be.
inline void clickDiagram(QPoint p) {
    QWidget* diagram = frmSchema->imgSchema;
    QTest::mouseMove(diagram, p + QPoint(1, 1));
    QTest::mouseMove(diagram, p);
    QTest::mouseClick(diagram, Qt::LeftButton, {}, p);
}
