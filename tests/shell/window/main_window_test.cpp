// The main window: start-up, the start dialog, panels and menus per mode, closing, timer and position.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QPushButton>
#include <QTcpServer>
#include <QToolButton>
#include <filesystem>
#include <memory>

#include "shell/config_fixture.h"
#include "layout/draw/diagram_area.h"
#include "layout/draw/diagram_canvas.h"
#include "layout/files/layout_file.h"
#include "layout/model/layout_model.h"
#include "network/model/net_state.h"
#include "platform/keyboard.h"
#include "shell/model/app_state.h"
#include "shell/window/image_view.h"
#include "shell/model/input_state.h"
#include "shell/model/schema_state.h"
#include "shell/model/settings.h"
#include "shell/window/status_line.h"
#include "shell/dialogs/untInfo.h"
#include "shell/window/untSchema.h"
#include "shell/window/widget_colours.h"
#include "shell/shell_test_support.h"

using testsupport::writeBytes;

namespace {

void writeConfig(const RunningProgram& p, const CfgFixture& f) { writeBytes(p.dir.file("vestrel.cfg"), f.bytes()); }

TEST(MainWindow, StartsWithTheLastLayoutAndEscChoosesStandAlone) {
    RunningProgram p;
    CfgFixture f;
    f.layout = "Mijnbaan.vtl";
    f.loco = "Mijnlocs.loc";
    f.netMode = 30;  // the configured mode; the start dialog decides
    writeConfig(p, f);
    bool dialogWasModal = false;
    whenModal([&](QWidget* modal) {
        dialogWasModal = modal == frmInfo;
        frmSchema->Timer1->stop();  // no tick between the answer and the checks below, however slow
        pressKey(modal, Qt::Key_Escape);
    });
    p.start(false);
    frmSchema->show();
    ASSERT_TRUE(processUntil([] { return !frmInfo->btnOK->isHidden() && !frmInfo->isVisible(); }));

    EXPECT_TRUE(dialogWasModal);
    EXPECT_EQ(gNetMode, 0);
    EXPECT_EQ(gLayoutFileName, "Mijnbaan.vtl");
    EXPECT_EQ(frmSchema->windowTitle().toStdString(), "Brandelwyn Modelspoorprogramma - Mijnbaan.vtl - Mijnlocs.loc");
    EXPECT_EQ(frmSchema->lblBestandsnaam->text().toStdString(), ": Mijnbaan");
    EXPECT_EQ(gRedrawCountdown, 1);
    EXPECT_FALSE(frmSchema->grpBestand->isHidden());  // editor mode
    EXPECT_TRUE(frmSchema->grpCmdpost->isHidden());
    setStatusLine("Klik op de te wijzigen bouwsteen", 0);
    frmSchema->grab().save(QString::fromStdString(testsupport::artefactPath("main_window_editor.png")));
}

// The client area takes the layout's canvas, but never narrower than the window's design: a narrower
// window would hide the emergency stop, the last control posts and the right-hand menus.
TEST(MainWindow, TheLayoutNamedInTheConfigurationIsLoadedAtStart) {
    const std::pair<QSize, QSize> cases[] = {{{900, 500}, {900, 500}}, {{640, 480}, {800, 480}}};
    for (const auto& [canvas, client] : cases) {
        RunningProgram p;
        clearLayout();
        auto track = std::make_unique<TrackRec>();
        track->points[0] = {100, 100};
        track->points[1] = {260, 100};
        track->segments = 1;
        gTracks.append(std::move(track));
        gCanvasSize = {canvas.width(), canvas.height()};
        gLayoutFileName = "Station.vtl";
        ASSERT_EQ(saveLayoutFile(), 1);
        clearLayout();
        gLayoutFileName.clear();
        gCanvasSize = {640, 480};
        CfgFixture f;
        f.layout = "Station.vtl";
        f.loco = "Station.loc";
        writeConfig(p, f);

        p.start(false);

        ASSERT_EQ(gTrackCount, 1);
        EXPECT_EQ(gTracks[0]->points[1].x, 260);
        EXPECT_EQ(frmSchema->ClientArea->size(), client) << canvas.width();
        EXPECT_EQ(gCanvasSize.width, client.width());
    }
}

struct StartChoice {
    const char* button;
    int netMode;
};

TEST(MainWindow, EachStartButtonSetsItsNetworkMode) {
    for (const StartChoice& row : {StartChoice{"btnStandAlone", 0}, StartChoice{"btnDemo", 0},
                                   StartChoice{"btnServer", 30}, StartChoice{"btnClient", 40}}) {
        SCOPED_TRACE(row.button);
        RunningProgram p;
        p.start(false);
        gNetMode = 30;
        whenModal([&](QWidget* modal) { clickButton(modal, row.button); });
        frmSchema->FormShow();
        EXPECT_EQ(gNetMode, row.netMode);
        // Afterwards the form is the about box: OK only.
        EXPECT_TRUE(frmInfo->btnServer->isHidden());
        EXPECT_FALSE(frmInfo->btnOK->isHidden());
    }
}

TEST(MainWindow, InfoTexts) {
    RunningProgram p;
    p.start(false);
    EXPECT_EQ(frmInfo->windowTitle().toStdString(), "Info");
    EXPECT_EQ(frmInfo->lblNaam->text().toStdString(), "Brandelwyn Modelspoor 2024");
    EXPECT_EQ(frmInfo->lblVersie->text().toStdString(), "Versie : 02.06.09s");
}

TEST(MainWindow, ConstructionSetsUpTheWindowAndItsState) {
    RunningProgram p;
    vestrel::setCapsLockForTest(1);
    p.start(false);

    EXPECT_TRUE(frmSchema->grpCmdpost->isHidden());
    EXPECT_EQ(gCmdpostControls[0], frmSchema->btnLok[0]);
    EXPECT_EQ(gCmdpostControls[25]->objectName().toStdString(), "btnMode6");
    EXPECT_EQ(gCmdpostControls[59]->objectName().toStdString(), "btnRich20");
    EXPECT_EQ(gCmdpostControls[60]->objectName().toStdString(), "lblSnelheid1");
    EXPECT_EQ(gCmdpostControls[99]->objectName().toStdString(), "lblPauze20");
    EXPECT_EQ(frmSchema->lblSnelheid[4]->text().toStdString(), "0");
    EXPECT_EQ(frmSchema->btnNstop->text().toStdString(), "NStop");
    EXPECT_EQ(frmSchema->grpBestand->y(), -2);
    EXPECT_EQ(frmSchema->lblCurPos->y(), 50);
    EXPECT_TRUE(frmSchema->lblCurPos->text().isEmpty());
    EXPECT_TRUE(gJournalScratch.track && gJournalScratch.block && gJournalScratch.stepProgram);
    EXPECT_EQ(gDiagramCanvas, &frmSchema->imgSchema->Canvas);
    ASSERT_TRUE(gBackBuffer);
    EXPECT_EQ(gBackBuffer->width(), gCanvasSize.width);
    EXPECT_EQ(gDrawArea, (DrawRect{0, 0, 640, 480 - 88}));
    EXPECT_GT(gCharWidth, 0);
    EXPECT_EQ(gStatusTextHeight, 12);
    EXPECT_EQ(frmSchema->lblCOM->text().toStdString(), "Geen COM");
    EXPECT_TRUE(frmSchema->lblHexUit->isHidden());
    EXPECT_TRUE(frmSchema->lblLPTCOM->isHidden());
    EXPECT_TRUE(frmSchema->lblHexIn->isHidden());
    EXPECT_TRUE(frmSchema->Timer1->isActive());
    EXPECT_EQ(gPerfTicksPerMs, gPerfFrequency / 1000);
    EXPECT_EQ(gShiftState, 1);  // Caps Lock switches snapping off
    EXPECT_EQ(textColour(frmSchema->lblSnapToGrid), vestrel::clBlue);
    EXPECT_EQ(frmSchema->cboWissellengte->currentIndex(), 2);
    EXPECT_FALSE(frmSchema->ServerSocket1->isListening());
    EXPECT_EQ(frmSchema->MainMenu1->actions().size(), 16);  // ten menus and six items
}

TEST(MainWindow, TimerIntervalFollowsTheCycleTimeSetting) {
    for (const auto& [cyclus46, interval] : {std::pair{uint8_t{0}, 30}, std::pair{uint8_t{1}, 45}}) {
        RunningProgram p;
        CfgFixture f;
        f.cyclus46 = cyclus46;
        writeConfig(p, f);
        p.start(false);
        EXPECT_EQ(frmSchema->Timer1->interval(), interval);
    }
}

TEST(MainWindow, VisibilityLabelsFollowTheSettings) {
    RunningProgram p;
    CfgFixture f;
    f.visuNummer = 1;
    writeConfig(p, f);
    p.start(false);
    EXPECT_EQ(textColour(frmSchema->lblVisuNummer), vestrel::clGray);
    EXPECT_EQ(textColour(frmSchema->lblVisuSectie), vestrel::clBlue);
}

TEST(MainWindow, KeepsTheCanvasOnTheScreen) {
    struct Row {
        int position, extent, screen, expected;
    };
    for (const Row& r : {Row{100, 640, 1024, 100}, Row{384, 640, 1024, 384}, Row{500, 640, 1024, 384},
                         Row{50, 640, 600, 0}, Row{0, 480, 400, 0}}) {
        EXPECT_EQ(keepOnScreen(r.position, r.extent, r.screen), r.expected)
            << r.position << " " << r.extent << " " << r.screen;
    }
    RunningProgram p;
    p.start(false);
    frmSchema->move(900, 700);
    frmSchema->keepWindowOnScreen(1024, 768);
    EXPECT_EQ(frmSchema->pos(), QPoint(1024 - 640, 768 - 480));
}

// The states FormActivate gives; each name lists what must hold.
struct ActivateRow {
    const char* what;
    uint8_t withTrack, withoutTrack;
    int demo, netMode, dialog, statusLine;
    std::vector<const char*> enabled, disabled, shown, hidden;
};

void checkActivateRow(const ActivateRow& r) {
    SCOPED_TRACE(r.what);
    gRunWithTrack = r.withTrack;
    gRunWithoutTrack = r.withoutTrack;
    gDemoStep = r.demo;
    gNetMode = static_cast<uint8_t>(r.netMode);
    gActiveDialog = r.dialog;
    gStatusLineShown = static_cast<uint8_t>(r.statusLine);
    frmSchema->FormActivate();
    for (const char* n : r.enabled) {
        QAction* a = frmSchema->findChild<QAction*>(n);
        ASSERT_TRUE(a) << n;
        EXPECT_TRUE(a->isEnabled()) << n;
    }
    for (const char* n : r.disabled) EXPECT_FALSE(frmSchema->findChild<QAction*>(n)->isEnabled()) << n;
    for (const char* n : r.shown) {
        QObject* o = frmSchema->findChild<QObject*>(n);
        ASSERT_TRUE(o) << n;
        if (auto* a = qobject_cast<QAction*>(o))
            EXPECT_TRUE(a->isVisible()) << n;
        else
            EXPECT_FALSE(qobject_cast<QWidget*>(o)->isHidden()) << n;
    }
    for (const char* n : r.hidden) {
        QObject* o = frmSchema->findChild<QObject*>(n);
        if (auto* a = qobject_cast<QAction*>(o))
            EXPECT_FALSE(a->isVisible()) << n;
        else
            EXPECT_TRUE(qobject_cast<QWidget*>(o)->isHidden()) << n;
    }
}

TEST(MainWindow, FormActivateSetsPanelsAndMenusForTheMode) {
    RunningProgram p;
    p.start(false);
    const std::vector<ActivateRow> rows = {
        {"editor", 0, 0, 0, 0, 0, 0,
         {"mnuNieuw", "mnuVerwijderen", "mnuMetSturing", "mnuBestand", "mnuBewerken", "mnuTraject",
          "mnuStuurpost", "mnuDemo", "mnuDivers", "mnuInstelling"},
         {"mnuLoc", "mnuWagon", "mnuBlok", "mnuWissel", "mnuSein", "mnuUitgang", "mnuFunctieDec", "mnuStappen"},
         {"grpBestand", "grpStatusTekenpost", "mnuZonderSturing", "mnuDemoMaakTraject", "mnuDemoStappen"},
         {"grpCmdpost", "grpStatus"}},
        {"editor with a dialog open", 0, 0, 0, 0, 6, 0,
         {"mnuNieuw"},
         {"mnuBestand", "mnuBewerken", "mnuTraject", "mnuStuurpost", "mnuDemo", "mnuDivers", "mnuInstelling"},
         {},
         {}},
        {"editor during a demo", 0, 0, 3, 0, 0, 0,
         {"mnuDemo"},
         {"mnuBestand", "mnuBewerken", "mnuTraject", "mnuStuurpost", "mnuDivers", "mnuInstelling"},
         {"mnuDemoTekenSchema"},
         {"mnuDemoMaakTraject", "mnuDemoStuurpost1", "mnuDemoStuurpost4", "mnuDemoStappen"}},
        {"editor with the status line up", 0, 0, 0, 0, 0, 1, {}, {}, {"grpBestand"}, {"grpStatusTekenpost"}},
        {"session without track", 0, 1, 0, 0, 0, 0,
         {"mnuNieuw", "mnuOpslaanAls", "mnuMetSturing", "mnuLoc", "mnuWagon", "mnuBlok", "mnuFunctieDec",
          "mnuStappen", "mnuBestand", "mnuStuurpost", "mnuDivers", "mnuInstelling"},
         {"mnuBewerken", "mnuTraject", "mnuDemo"},
         {"grpCmdpost", "grpStatus"},
         {"grpBestand", "grpStatusTekenpost", "mnuZonderSturing", "lblInfo", "cboWissellengte",
          "cboWisselbreedte", "lblKortsluitbeveiliging"}},
        {"session on a client", 0, 1, 0, 40, 0, 0,
         {"mnuLoc", "mnuBestand"},
         {"mnuNieuw", "mnuOpenen", "mnuOpslaan", "mnuOpslaanAls", "mnuVerwijderen", "mnuStappen", "mnuStuurpost"},
         {},
         {}},
        {"session during a demo", 0, 1, 5, 0, 0, 0,
         {"mnuDemo"},
         {"mnuLoc", "mnuSein", "mnuStappen", "mnuBestand", "mnuStuurpost", "mnuDivers", "mnuInstelling",
          "mnuMetSturing"},
         {},
         {"mnuDemoStuurpost2"}},
        {"session with the status line up", 0, 1, 0, 0, 0, 1, {}, {}, {}, {"grpStatus"}},
    };
    for (const ActivateRow& r : rows) checkActivateRow(r);
}

TEST(MainWindow, FormActivateCaptionsAndTheShortCircuitLabel) {
    RunningProgram p;
    p.start(false);
    gDemoStep = 2;
    frmSchema->FormActivate();
    EXPECT_EQ(frmSchema->mnuDemoTekenSchema->text().toStdString(), "Stop demo");
    gDemoStep = 0;
    gRunWithTrack = 1;
    frmSchema->FormActivate();
    EXPECT_EQ(frmSchema->mnuMetSturing->text().toStdString(), "Stoppen sessie");
    // Outside a demo a session leaves the demo menu as it was.
    EXPECT_EQ(frmSchema->mnuDemoTekenSchema->text().toStdString(), "Stop demo");

    gSettings.chboDirectBooster = 1;
    gSettings.chboKortsluitbeveiliging = 0;
    frmSchema->FormActivate();
    EXPECT_FALSE(frmSchema->lblKortsluitbeveiliging->isHidden());
    gSettings.chboKortsluitbeveiliging = 1;
    frmSchema->FormActivate();
    EXPECT_TRUE(frmSchema->lblKortsluitbeveiliging->isHidden());

    gRunWithTrack = 0;
    frmSchema->FormActivate();
    EXPECT_EQ(frmSchema->mnuMetSturing->text().toStdString(), "Starten met spoorbaansturing");
    EXPECT_EQ(frmSchema->mnuDemoTekenSchema->text().toStdString(), "Demo spoorbaan tekenen");
}

struct CloseRow {
    const char* what;
    int demo;
    const char* layout;
    int netMode;
    uint8_t locoModified, dirty;
    int expected;
};

TEST(MainWindow, CloseQueryAsksToSaveOnlyWhereItMatters) {
    resetShellState();
    const std::vector<CloseRow> rows = {
        {"clean", 0, "baan.vtl", 0, 0, 0, 0},
        {"layout modified", 0, "baan.vtl", 0, 0, 1, 2},
        {"locomotives modified first", 0, "baan.vtl", 0, 1, 3, 1},
        {"server asks too", 0, "baan.vtl", 30, 1, 0, 1},
        {"demo running", 4, "baan.vtl", 0, 1, 1, 0},
        {"demo layout", 0, "demo\\station.vtl", 0, 1, 1, 0},
        {"demo folder in other case asks", 0, "Demo\\station.vtl", 0, 0, 1, 2},
        {"client", 0, "baan.vtl", 40, 1, 1, 0},
    };
    for (const CloseRow& r : rows) {
        SCOPED_TRACE(r.what);
        gDemoStep = r.demo;
        gLayoutFileName = r.layout;
        gNetMode = static_cast<uint8_t>(r.netMode);
        gLocoDataModified = r.locoModified;
        gDirtyFlags = r.dirty;
        EXPECT_EQ(closeQueryAction(), r.expected);
    }
    resetShellState();
}

TEST(MainWindow, ClosingAModifiedLayoutIsRefusedAndAcceptedWhenClean) {
    RunningProgram p;
    p.start();
    testsupport::writeBytes(p.dir.file("temp.tmp"), {1, 2, 3});
    gDirtyFlags = 1;
    EXPECT_FALSE(frmSchema->close());
    EXPECT_TRUE(frmSchema->isVisible());
    EXPECT_TRUE(std::filesystem::exists(p.dir.file("temp.tmp")));
    gDirtyFlags = 0;
    EXPECT_TRUE(frmSchema->close());
    EXPECT_FALSE(std::filesystem::exists(p.dir.file("temp.tmp")));  // the edit journal goes on exit
}

TEST(MainWindow, ResizeSetsTheCanvasUnlessAnEditorOperationRuns) {
    RunningProgram p;
    p.start();
    gEditOpRunning = 1;
    frmSchema->setClientSize(700, 500);
    processUntil([] { return frmSchema->ClientArea->width() == 700; });
    EXPECT_EQ(gCanvasSize.width, 800);
    gEditOpRunning = 0;
    gRedrawCountdown = 0;
    frmSchema->setClientSize(720, 520);
    ASSERT_TRUE(processUntil([] { return gCanvasSize.width == 720; }));
    EXPECT_EQ(gCanvasSize.height, 520);
    EXPECT_EQ(gRedrawCountdown, 10);
    EXPECT_EQ(frmSchema->imgSchema->height(), 520 - 88);
}

}  // namespace
