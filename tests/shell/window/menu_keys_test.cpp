// Keys after a menu: a menu's underlined letter acts only while the menu bar itself is active; once a
// menu command has run, plain letters start the editor's elements again, however the menu was chosen.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include "layout/editor/editor_dispatch.h"
#include "layout/editor/editor_state.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"
#include "shell/window/status_line.h"
#include "shell/shell_test_support.h"
#include "shell/window/input_routing.h"
#include "shell/window/untSchema.h"

namespace {

class MenuKeys : public ::testing::Test {
protected:
    void SetUp() override {
        program.start();
        QApplication::setActiveWindow(frmSchema);
        ASSERT_TRUE(processUntil([] { return QApplication::activeWindow() == frmSchema; }));
    }
    // The key goes where the keyboard has it: the open menu, else the widget with the focus.
    static void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QWidget* target = QApplication::activePopupWidget();
        if (!target) target = QApplication::focusWidget();
        if (!target) target = frmSchema;
        QTest::keyClick(target, k, m);
        QApplication::processEvents();
    }
    // Every tool letter that is also a menu's underlined letter starts its element (Esc ends it again).
    static void expectToolLettersStartElements(const char* after) {
        const struct {
            Qt::Key key;
            char letter;
        } tools[] = {{Qt::Key_B, 'b'}, {Qt::Key_V, 'v'}, {Qt::Key_S, 's'}, {Qt::Key_O, 'o'},
                     {Qt::Key_I, 'i'}, {Qt::Key_L, 'l'}, {Qt::Key_D, 'd'}};
        for (const auto& t : tools) {
            forgetRoutedCommand();
            key(t.key);
            EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << t.letter << " opened a menu " << after;
            EXPECT_EQ(lastRoutedCommand().target, 'E') << t.letter << " " << after;
            EXPECT_EQ(lastEditorCommand(), t.letter) << after;
            EXPECT_EQ(gStatusLineShown, 1) << t.letter << " started no element (no prompt) " << after;
            key(Qt::Key_Escape);
            EXPECT_EQ(gStatusLineShown, 0) << t.letter << " " << after;
        }
    }
    static QMenu* menuNamed(const char* name) { return frmSchema->MainMenu1->findChild<QMenu*>(name); }
    RunningProgram program;
};

TEST_F(MenuKeys, ToolLettersAfterAMenuCommandChosenFromTheKeyboard) {
    const struct {
        Qt::Key menu;
        const char* menuName;
        Qt::Key item;
    } commands[] = {{Qt::Key_V, "mnuDivers", Qt::Key_O}, {Qt::Key_B, "mnuBestand", Qt::Key_P}};
    for (const auto& c : commands) {
        key(c.menu, Qt::AltModifier);
        ASSERT_EQ(QApplication::activePopupWidget(), menuNamed(c.menuName));  // Alt+letter opens its menu
        key(c.item);
        ASSERT_EQ(QApplication::activePopupWidget(), nullptr);  // the item ran and its menu closed
        expectToolLettersStartElements(c.menuName);
    }
}

TEST_F(MenuKeys, ASignalEntryShowsItsPromptAfterAltVO) {
    key(Qt::Key_V, Qt::AltModifier);
    key(Qt::Key_O);
    key(Qt::Key_S);
    EXPECT_EQ(gStatusText,
              "Klik of druk 'enter' om de bouwsteen in te voegen  /  'W' of 'T' = hoek wijzigen  /  Shift(lock) = "
              "snap to grid uit");
    EXPECT_EQ(gStatusLineShown, 1);
    key(Qt::Key_Escape);
}

TEST_F(MenuKeys, ToolLettersAfterAMenuCommandChosenWithTheMouse) {
    QMenuBar* bar = frmSchema->MainMenu1;
    QMenu* divers = menuNamed("mnuDivers");
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(divers->menuAction()).center());
    ASSERT_TRUE(processUntil([divers] { return divers->isVisible(); }));
    QTest::mouseClick(divers, Qt::LeftButton, {}, divers->actionGeometry(frmSchema->mnuOpfrissen).center());
    ASSERT_TRUE(processUntil([divers] { return !divers->isVisible(); }));
    expectToolLettersStartElements("after the mouse");
}

// While the bar is active its letters are its mnemonics, as the platform has it; Esc leaves it.
TEST_F(MenuKeys, AMenuClosedWithEscGivesTheLettersBack) {
    key(Qt::Key_V, Qt::AltModifier);
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    for (int i = 0; i < 3 && (QApplication::activePopupWidget() || frmSchema->MainMenu1->activeAction()); ++i)
        key(Qt::Key_Escape);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(frmSchema->MainMenu1->activeAction(), nullptr);
    expectToolLettersStartElements("after Esc");
}

}  // namespace
