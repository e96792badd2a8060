// The name dialog and the file chooser on the running main window: new layout, open, save as, delete.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/stat.h>

#include "layout/editor/editor_dispatch.h"
#include "layout/draw/diagram_canvas.h"
#include "layout/files/layout_file.h"
#include "layout/frame/render.h"
#include "layout/model/layout_model.h"
#include "operation/files/loco_file.h"
#include "platform/canvas.h"
#include "operation/model/train_model.h"
#include "operation/session_trains.h"
#include "shell/config/messages.h"
#include "shell/dialogs/untBestandNieuw.h"
#include "shell/dialogs/untBestandOpenen.h"
#include "shell/dialogs/untBevestig.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"
#include "shell/shell_test_support.h"
#include "shell/window/untSchema.h"

namespace fs = std::filesystem;
using testsupport::readBytes;
using testsupport::writeBytes;

namespace {

const std::vector<uint8_t> kLayoutBytes = {'V', 'T', 'L', 0, 1, 2, 3};

class FileDialogs : public ::testing::Test {
protected:
    void SetUp() override { program.start(); }

    // The names vestrel.cfg begins with: the layout, then the locomotive file.
    static std::string configNames() {
        const std::vector<uint8_t> cfg = readBytes("vestrel.cfg");
        std::string s(cfg.begin(), cfg.end());
        return s.substr(0, s.find("\n\n", s.find("\n\n") + 2));
    }
    static bool ownerWritable(const std::string& name) {
        struct stat st {};
        return ::stat(name.c_str(), &st) == 0 && (st.st_mode & S_IWUSR);
    }
    static void typeNameAndEnter(const char* name) {
        QTest::keyClicks(frmBestandNieuw->edtNaam, name);
        QTest::keyClick(frmBestandNieuw->edtNaam, Qt::Key_Return);
    }
    static void choose(const char* name) {
        QListWidget* list = frmBestandOpenen->FileListBox1;
        const auto found = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name;
        const QRect r = list->visualItemRect(found[0]);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    }
    static void answerJa() {
        whenModal([](QWidget* modal) {
            if (modal == frmBevestig) frmBevestig->btnJa->click();
        });
    }
    // A saved layout of one track under that name; the program then holds no layout.
    static void saveOneTrackLayout(const std::string& name) {
        auto track = std::make_unique<TrackRec>();
        track->points[0] = {100, 100};
        track->points[1] = {200, 100};
        track->segments = 1;
        gTracks.append(std::move(track));
        const std::string kept = gLayoutFileName;
        gLayoutFileName = name;
        ASSERT_EQ(saveLayoutFile(), 1);
        gLayoutFileName = kept;
        clearLayout();
    }
    RunningProgram program;
};

TEST_F(FileDialogs, NewLayoutTakesTheChosenScaleZoomAndName) {
    dispatchEditorCommand(1001);
    ASSERT_TRUE(frmBestandNieuw->isVisible());
    EXPECT_EQ(frmBestandNieuw->windowTitle(), "Nieuw Bestand");
    EXPECT_EQ(frmBestandNieuw->lblNaam->text(), "Bestandsnaam (max 20 karakters) : ");
    EXPECT_EQ(frmBestandNieuw->cboSchaal->currentText(), "H0   1/87");
    EXPECT_EQ(frmBestandNieuw->cboZoom->currentText(), "normaal");
    EXPECT_EQ(gActiveDialog, 1);
    frmBestandNieuw->cboSchaal->setCurrentIndex(frmBestandNieuw->cboSchaal->findText("N    1/160"));
    frmBestandNieuw->cboZoom->setCurrentIndex(frmBestandNieuw->cboZoom->findText("groot"));
    typeNameAndEnter("baan");
    EXPECT_FALSE(frmBestandNieuw->isVisible());
    EXPECT_EQ(gLayoutFileName, "baan.vtl");
    EXPECT_EQ(gLocoFileName, "baan.loc");
    EXPECT_EQ(gScaleDigit, '7');
    EXPECT_EQ(gZoomDigit, '4');
    EXPECT_EQ(gVisibleLayers, 7);
    EXPECT_EQ(gEditMode, 0u);
    EXPECT_EQ(gActiveDialog, 0);
    EXPECT_EQ(configNames(), "baan.vtl\n\nbaan.loc");
    EXPECT_TRUE(frmSchema->windowTitle().contains("baan.vtl"));
}

TEST_F(FileDialogs, ForbiddenCharactersVanishWhetherTypedOrPasted) {
    dispatchEditorCommand(1001);
    QLineEdit* edit = frmBestandNieuw->edtNaam;
    QTest::keyClicks(edit, "a/b?");
    EXPECT_EQ(edit->text(), "ab");
    edit->insert("x/y?z:*\"<>|\\q");  // a paste brings many at once
    EXPECT_EQ(edit->text(), "abxyzq");
    EXPECT_EQ(edit->cursorPosition(), 6);
    edit->setCursorPosition(1);
    edit->insert("?c");
    EXPECT_EQ(edit->text(), "acbxyzq");
    EXPECT_EQ(edit->cursorPosition(), 2);
}

TEST_F(FileDialogs, DuringTheDemoTheNameCannotBeGiven) {
    gDemoStep = 1;
    gEditMode = 19;
    frmBestandNieuw->show();
    EXPECT_FALSE(frmBestandNieuw->edtNaam->isEnabled());
    EXPECT_FALSE(frmBestandNieuw->btnOK->isEnabled());
    EXPECT_FALSE(frmBestandNieuw->btnAnnuleren->isEnabled());
    gDemoStep = 0;
}

TEST_F(FileDialogs, ANameDifferingOnlyInCaseIsRefused) {
    writeBytes("Oud.VTL", kLayoutBytes);
    const std::string layout = gLayoutFileName;
    dispatchEditorCommand(1001);
    typeNameAndEnter("OUD");
    EXPECT_EQ(lastDialogMessage(), "Het ingegeven bestand bestaat reeds ! ");
    EXPECT_TRUE(frmBestandNieuw->isVisible());
    EXPECT_EQ(gLayoutFileName, layout);
}

TEST_F(FileDialogs, SaveAsOfAnUnchangedLayoutCopiesItAndEachCompanionWritable) {
    const std::vector<uint8_t> loc = {'V', '1', '.', '1', 9}, stp = {1, 2, 3}, fdc = {7};
    writeBytes("oud.vtl", kLayoutBytes);
    writeBytes("oud.loc", loc);
    writeBytes("oud.stp", stp);
    writeBytes("oud.fdc", fdc);
    fs::permissions("oud.vtl", fs::perms::owner_read | fs::perms::group_read);
    fs::permissions("oud.stp", fs::perms::owner_read);
    gLayoutFileName = "oud.vtl";
    gLocoFileName = "oud.loc";
    gDirtyFlags = 0;
    dispatchEditorCommand(1004);
    ASSERT_TRUE(frmBestandNieuw->isVisible());
    typeNameAndEnter("nieuw");
    EXPECT_EQ(readBytes("nieuw.vtl"), kLayoutBytes);
    EXPECT_EQ(readBytes("nieuw.loc"), loc);
    EXPECT_EQ(readBytes("nieuw.stp"), stp);
    EXPECT_EQ(readBytes("nieuw.fdc"), fdc);
    EXPECT_FALSE(fs::exists("nieuw.trj"));
    for (const char* name : {"nieuw.vtl", "nieuw.loc", "nieuw.stp", "nieuw.fdc"}) EXPECT_TRUE(ownerWritable(name)) << name;
    EXPECT_EQ(readBytes("oud.vtl"), kLayoutBytes);
    EXPECT_EQ(gLayoutFileName, "nieuw.vtl");
    EXPECT_EQ(gLocoFileName, "nieuw.loc");
    EXPECT_TRUE(frmSchema->windowTitle().contains("nieuw.vtl"));
    EXPECT_EQ(configNames(), "nieuw.vtl\n\nnieuw.loc");
}

TEST_F(FileDialogs, SaveAsThatCannotWriteKeepsTheOldNamesAndConfiguration) {
    writeBytes("oud.vtl", kLayoutBytes);
    writeBytes("oud.loc", {1});
    gLayoutFileName = "oud.vtl";
    gLocoFileName = "oud.loc";
    gDirtyFlags = 0;
    dispatchEditorCommand(1004);
    const std::vector<uint8_t> cfg = readBytes("vestrel.cfg");
    fs::create_directory("kapot.vtl");  // no file can take this name
    typeNameAndEnter("kapot");
    EXPECT_EQ(lastDialogMessage(), "Kan bestand 'kapot.vtl' niet openen !");
    EXPECT_EQ(gLayoutFileName, "oud.vtl");
    EXPECT_EQ(gLocoFileName, "oud.loc");
    EXPECT_EQ(readBytes("vestrel.cfg"), cfg);
    EXPECT_FALSE(fs::exists("kapot.loc"));
    EXPECT_EQ(gEditMode, 0u);
}

TEST_F(FileDialogs, OpeningAListedLayoutLoadsIt) {
    saveOneTrackLayout("een.vtl");
    writeBytes("TWEE.VTL", kLayoutBytes);
    writeBytes("drie.loc", {1});
    dispatchEditorCommand(1002);
    ASSERT_TRUE(frmBestandOpenen->isVisible());
    EXPECT_EQ(frmBestandOpenen->windowTitle(), "Bestand openen");
    EXPECT_EQ(gActiveDialog, 2);
    QStringList listed;
    for (int i = 0; i < frmBestandOpenen->FileListBox1->count(); ++i)
        listed << frmBestandOpenen->FileListBox1->item(i)->text();
    EXPECT_TRUE(listed.contains("een.vtl"));
    EXPECT_TRUE(listed.contains("TWEE.VTL"));
    EXPECT_FALSE(listed.contains("drie.loc"));
    choose("een.vtl");
    ASSERT_TRUE(processUntil([] { return gLayoutFileName == "een.vtl"; }));
    EXPECT_EQ(gLocoFileName, "een.loc");
    EXPECT_EQ(gTrackCount, 1);
    EXPECT_FALSE(frmBestandOpenen->isVisible());
    EXPECT_EQ(gEditMode, 0u);
    EXPECT_EQ(gActiveDialog, 0);
}

TEST_F(FileDialogs, AnEmptyChoiceDoesNothing) {
    saveOneTrackLayout("een.vtl");
    const std::string layout = gLayoutFileName;
    dispatchEditorCommand(1002);
    frmBestandOpenen->FileListBox1->setCurrentItem(nullptr);
    QTest::keyClick(frmBestandOpenen->FileListBox1, Qt::Key_Return);
    EXPECT_TRUE(frmBestandOpenen->isVisible());
    EXPECT_EQ(gLayoutFileName, layout);
    EXPECT_EQ(gEditMode, 20u);
}

TEST_F(FileDialogs, AListedNameLongerThanTheConfigurationKeepsIsRefused) {
    const std::string name = "abcdefghijklmnopqrstuv.vtl";  // 26 characters
    writeBytes(name, kLayoutBytes);
    const std::string layout = gLayoutFileName;
    dispatchEditorCommand(1002);
    choose(name.c_str());
    ASSERT_TRUE(processUntil([] { return lastDialogMessage() == "Max. naamlengte = 25"; }));
    EXPECT_EQ(gLayoutFileName, layout);
}

TEST_F(FileDialogs, DeletingALayoutRemovesItsFiveFilesAfterJa) {
    for (const char* ext : {".vtl", ".loc", ".trj", ".stp", ".fdc"}) writeBytes(std::string("weg") + ext, {1});
    dispatchEditorCommand(1005);
    EXPECT_EQ(frmBestandOpenen->windowTitle(), "Bestand verwijderen");
    answerJa();
    choose("weg.vtl");
    ASSERT_TRUE(processUntil([] { return !fs::exists("weg.vtl"); }));
    EXPECT_EQ(frmBevestig->tekst(), "Bent u zeker dat u dit bestand wilt verwijderen ?");
    for (const char* ext : {".loc", ".trj", ".stp", ".fdc"}) EXPECT_FALSE(fs::exists(std::string("weg") + ext)) << ext;
}

TEST_F(FileDialogs, DeletingTheLocomotiveFileInUseEmptiesTheTables) {
    buildSessionLayoutWithTwoTrains();
    writeBytes("test.fdc", {1});
    ASSERT_EQ(loadLocoFile(0), 1);
    ASSERT_EQ(gLocCount, 3);
    gEditMode = 28;
    frmBestandOpenen->show();
    EXPECT_EQ(frmBestandOpenen->windowTitle(), "Locbestand verwijderen");
    answerJa();
    choose("test.loc");
    ASSERT_TRUE(processUntil([] { return !fs::exists("test.loc"); }));
    EXPECT_EQ(frmBevestig->tekst(), "Bent u zeker dat u dit locbestand en het functiedecoderbestand wilt verwijderen ?");
    EXPECT_FALSE(fs::exists("test.fdc"));
    EXPECT_EQ(gLocCount, 0);
}

// Bestand -> Nieuw, then Bestand -> Openen: the opened layout is drawn whole as at a fresh start, with no
// "Opfrissen" needed.
TEST_F(FileDialogs, OpeningALayoutAfterANewOneDrawsItWhole) {
    frmSchema->Timer1->stop();
    saveOneTrackLayout("een.vtl");
    dispatchEditorCommand(1001);
    typeNameAndEnter("leeg");
    ASSERT_EQ(gLayoutFileName, "leeg.vtl");
    dispatchEditorCommand(1002);
    choose("een.vtl");
    ASSERT_TRUE(processUntil([] { return gLayoutFileName == "een.vtl"; }));
    for (int tick = 0; tick < 12; ++tick) {
        frmSchema->Timer1Timer();
        QApplication::processEvents();
    }
    const QImage shown = gDiagramCanvas->image().copy();
    EXPECT_NE(shown.pixel(150, 100), shown.pixel(150, 140));  // the track, on the diagram's background
    redrawSchema(1);  // what "Opfrissen" shows
    EXPECT_TRUE(shown == gDiagramCanvas->image());
}

}  // namespace
