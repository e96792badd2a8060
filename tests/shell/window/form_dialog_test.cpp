// The program's forms close through their own closing however the user leaves them: by Esc (which
// presses the form's cancel button where it has one, and is ignored where no button takes it) or by the
// window's close box. A form hidden without it would keep its mode, its active-dialog code or an
// unsaved record behind it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>

#include "layout/dialogs/untSektie.h"
#include "layout/editor/editor_state.h"
#include "layout/model/layout_model.h"
#include "layout/sample_layout.h"
#include "operation/control/control_post.h"
#include "operation/dialogs/untCurve.h"
#include "operation/dialogs/untFunctieDec.h"
#include "operation/dialogs/untLoks.h"
#include "operation/dialogs/untTraject.h"
#include "operation/dialogs/untTrein.h"
#include "operation/dialogs/untWagons.h"
#include "operation/model/route_editor_state.h"
#include "operation/model/route_file.h"
#include "operation/model/train_model.h"
#include "shell/config/messages.h"
#include "shell/dialogs/untBestandOpenen.h"
#include "shell/model/app_state.h"
#include "shell/shell_test_support.h"
#include "shell/window/untSchema.h"

namespace {

struct FormCase {
    const char* name;
    std::function<QWidget*()> open;  // sets the scene up and shows the form
    bool escCloses;                  // false: no button of the form takes Esc
    std::function<void()> expectClosed;
};

// The state every closed form leaves: no active dialog, no pending editor action.
void expectNoDialogActive() {
    EXPECT_EQ(gActiveDialog, 0);
    EXPECT_EQ(gEditMode, kEditIdle);
}

const FormCase kForms[] = {
    {"route dialog adding a route",
     [] {
         gEditMode = 14;
         frmTraject->show();
         EXPECT_EQ(gRouteCount, 1);
         return frmTraject;
     },
     true,
     [] {
         expectNoDialogActive();
         EXPECT_EQ(frmTraject->Tag, 0);
         EXPECT_EQ(gRouteCount, 0);  // the unsaved route is gone
     }},
    {"block dialog",
     [] {
         gSelectedBlock = gBlocks[0];
         gEditMode = kEditClickOpens;
         frmSektie->show();
         return frmSektie;
     },
     true, expectNoDialogActive},
    {"file chooser",
     [] {
         gEditMode = 20;
         frmBestandOpenen->show();
         return frmBestandOpenen;
     },
     true, expectNoDialogActive},
    {"wagon dialog",
     [] {
         gEditMode = 0;
         frmWagons->Tag = 0;
         frmWagons->show();
         return frmWagons;
     },
     true,
     [] {
         expectNoDialogActive();
         EXPECT_EQ(frmWagons->Tag, 0);
     }},
    {"speed-curve dialog",
     [] {
         openSpeedCurveDialog(gLocs[0], 50, 50);
         return frmCurve;
     },
     true,
     [] {
         EXPECT_EQ(frmCurve->Tag, 0);
         EXPECT_EQ(gCurveLoco, nullptr);
     }},
    {"train dialog",
     [] {
         gCurTrain = gLocs[0];
         frmTrein->show();
         return frmTrein;
     },
     false,
     [] {
         EXPECT_EQ(frmTrein->Tag, 0);
         EXPECT_EQ(gActiveDialog, 0);
     }},
    {"function-decoder dialog",
     [] {
         frmFunctieDec->show();
         return frmFunctieDec;
     },
     false, [] { EXPECT_EQ(frmFunctieDec->Tag, 0); }},
    {"driving panel",  // its keys are the main window's
     [] {
         frmLoks->show();
         EXPECT_EQ(frmLoks->Tag, 1);
         return frmLoks;
     },
     false, [] { EXPECT_EQ(frmLoks->Tag, 0); }},
};

class FormClosing : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        program.start();
        frmSchema->Timer1->stop();
        smalllayout::buildSampleLayout();
        gLayoutFileName = "oval.vtl";
        clearRoutes();
        addLocomotive(3);
        showDialogMessage("", 3);
    }
    void TearDown() override {
        gCurTrain = nullptr;
        gSelectedBlock = nullptr;
        clearTrainTables();
        clearRoutes();
    }
    RunningProgram program;
};

TEST_P(FormClosing, EveryFormRunsItsClosing) {
    const bool byEsc = GetParam();
    for (const FormCase& c : kForms) {
        SCOPED_TRACE(c.name);
        QWidget* form = c.open();
        ASSERT_TRUE(form->isVisible());
        if (byEsc) {
            pressKey(form, Qt::Key_Escape);
            EXPECT_EQ(form->isVisible(), !c.escCloses);
            if (!c.escCloses) form->close();
        } else {
            form->close();  // what the window's close box asks
        }
        EXPECT_FALSE(form->isVisible());
        c.expectClosed();
    }
}

INSTANTIATE_TEST_SUITE_P(EscAndCloseBox, FormClosing, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? std::string("Esc") : std::string("CloseBox"); });

}  // namespace
