// A narrow main window: the menus that no longer fit in the bar are reached through its overflow button,
// and an item chosen there with the mouse acts exactly as it does from the bar, once.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "shell/dialogs/untInstellingen.h"
#include "shell/shell_test_support.h"
#include "shell/window/input_routing.h"
#include "shell/window/untSchema.h"

namespace {

class MenuOverflow : public ::testing::Test {
protected:
    void SetUp() override {
        program.start();
        frmSchema->Timer1->stop();
        vestrel::setProgramStarter([this](const std::string& path) {
            started.push_back(path);
            return true;
        });
        QApplication::setActiveWindow(frmSchema);
        ASSERT_TRUE(processUntil([] { return QApplication::activeWindow() == frmSchema; }));
    }
    void TearDown() override { vestrel::setProgramStarter({}); }

    static QMenuBar* bar() { return frmSchema->MainMenu1; }
    static QToolButton* overflowButton() { return bar()->findChild<QToolButton*>("qt_menubar_ext_button"); }
    static QAction* item(const char* name) { return bar()->findChild<QAction*>(name); }
    static QMenu* menu(const char* name) { return bar()->findChild<QMenu*>(name); }

    // Clicks each step in the menu open at that moment: a menu's caption opens it, the last step is the item.
    static void clickThrough(const std::vector<QAction*>& steps) {
        for (QAction* a : steps) {
            auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(open, nullptr) << a->objectName().toStdString();
            ASSERT_FALSE(open->actionGeometry(a).isEmpty()) << a->objectName().toStdString() << " not in the open menu";
            QTest::mouseClick(open, Qt::LeftButton, {}, open->actionGeometry(a).center());
            if (QMenu* sub = a->menu()) {
                ASSERT_TRUE(processUntil([sub] { return sub->isVisible(); }));
            }
        }
    }

    // The overflow button's menu runs its own event loop: the clicks inside it are made from there.
    static void chooseThroughOverflow(const std::vector<QAction*>& steps) {
        QToolButton* button = overflowButton();
        ASSERT_NE(button, nullptr);
        bool done = false;
        QTimer::singleShot(0, [&] {
            EXPECT_TRUE(processUntil([button] { return QApplication::activePopupWidget() == button->menu(); }));
            clickThrough(steps);
            done = true;
        });
        QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_TRUE(processUntil([&] { return done && !QApplication::activePopupWidget(); }));
    }

    static void chooseFromTheBar(const std::vector<QAction*>& steps) {
        QTest::mouseClick(bar(), Qt::LeftButton, {}, bar()->actionGeometry(steps.front()).center());
        if (QMenu* first = steps.front()->menu()) {
            ASSERT_TRUE(processUntil([first] { return first->isVisible(); }));
            clickThrough({steps.begin() + 1, steps.end()});
        }
        ASSERT_TRUE(processUntil([] { return !QApplication::activePopupWidget(); }));
    }

    RunningProgram program;
    std::vector<std::string> started;
};

TEST_F(MenuOverflow, ItemsChosenThroughTheOverflowButtonActAsFromTheBar) {
    const std::string viewer = QCoreApplication::applicationDirPath().toStdString() + "/VestrelAnim";
    for (const bool narrow : {false, true}) {
        SCOPED_TRACE(narrow ? "through the overflow button" : "from the bar");
        frmSchema->resize(narrow ? 120 : 1000, frmSchema->height());
        ASSERT_TRUE(processUntil([narrow] { return overflowButton() && overflowButton()->isVisible() == narrow; }));
        auto choose = [narrow](const std::vector<QAction*>& steps) {
            if (narrow)
                chooseThroughOverflow(steps);
            else
                chooseFromTheBar(steps);
        };

        started.clear();
        choose({menu("mnuDivers")->menuAction(), item("mnuAnimatie")});
        EXPECT_EQ(started, std::vector<std::string>{viewer});

        forgetRoutedCommand();
        choose({menu("mnuBewerken")->menuAction(), item("mnuVerplaatsen")});
        EXPECT_EQ(lastRoutedCommand().target, 'E');
        EXPECT_EQ(lastRoutedCommand().code, 1011);
        pressKey(frmSchema, Qt::Key_Escape);

        // An item of the bar itself, without a menu of its own.
        choose({item("mnuInstelling")});
        EXPECT_TRUE(processUntil([] { return frmInstellingen->isVisible(); }));
        frmInstellingen->hide();
    }
}

}  // namespace
