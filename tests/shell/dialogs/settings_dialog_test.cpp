// The settings dialog on the running main window: field corrections, the parallel-port address,
// what OK applies and writes, and what a session or the client mode locks.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <memory>

#include "layout/editor/editor_dispatch.h"
#include "layout/model/layout_model.h"
#include "link/dialogs/untComVrij.h"
#include "network/model/net_config_file.h"
#include "network/model/net_state.h"
#include "shell/config/messages.h"
#include "shell/config/settings_pages.h"
#include "shell/config_fixture.h"
#include "shell/dialogs/untBevestig.h"
#include "shell/dialogs/untInstellingen.h"
#include "shell/main/session.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"
#include "shell/shell_test_support.h"
#include "shell/window/untSchema.h"

using testsupport::readBytes;

namespace {

constexpr const char* kKeepLengths = "Wilt u de lengtes van de sporen in centimeter behouden ?";

class SettingsDialog : public ::testing::Test {
protected:
    void SetUp() override { program.start(); }
    static TfrmInstellingen& open() {
        showSettingsPage(0);
        return *frmInstellingen;
    }
    static void answer(bool ja) {
        whenModal([ja](QWidget* modal) {
            if (modal == frmBevestig) (ja ? frmBevestig->btnJa : frmBevestig->btnNee)->click();
        });
    }
    static void addTrack() {
        auto track = std::make_unique<TrackRec>();
        track->points[0] = {100, 100};
        track->points[1] = {300, 100};
        track->segments = 1;
        gTracks.append(std::move(track));
    }
    RunningProgram program;
};

struct FieldCase {
    const char* field;
    const char* typed;
    const char* corrected;
};

TEST_F(SettingsDialog, NumberFieldsAreCorrectedOnLeavingThem) {
    const FieldCase cases[] = {{"mskedtTijdbasis", "12", "12"}, {"mskedtTijdbasis", "0", "1"},
                               {"mskedtTijdbasis", "75", "60"}, {"edtSnelhOranje", "10", "30"},
                               {"edtSnelhOranje", "0", "0"},    {"edtSnelhOranje", "80", "70"},
                               {"edtSnelhOranje", "45", "45"},  {"edtLengteKorte", "400", "300"},
                               {"edtBeeldZoom", "5", "10"},     {"edtBeeldZoom", "600", "500"}};
    TfrmInstellingen& d = open();
    for (const FieldCase& c : cases) {
        auto* edit = d.findChild<QLineEdit*>(c.field);
        ASSERT_NE(edit, nullptr) << c.field;
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, c.typed);
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_EQ(edit->text().trimmed(), c.corrected) << c.field << " " << c.typed;
    }
}

TEST_F(SettingsDialog, OkHoldsTheCorrectionsOfFieldsNotLeft) {
    TfrmInstellingen& d = open();
    d.mskedtTijdbasis->setText("0");
    d.edtSnelhOranje->setText("10");
    d.edtLengteKorte->setText("999");
    d.btnOK->click();
    EXPECT_EQ(gTimeBase, 1);
    EXPECT_EQ(gSettings.edtSnelhOranje, 30);
    EXPECT_EQ(gSettings.edtLengteKorte, 300);
}

struct LptCase {
    const char* address;
    int pick;  // 1 LPT1, 2 LPT2
    const char* after;
};

TEST_F(SettingsDialog, ChoosingAParallelPortSwitchesOnlyTheOtherPortsUsualAddress) {
    const LptCase cases[] = {{"378", 2, "278"}, {"3BC", 2, "3BC"}, {"278", 2, "278"},
                             {"278", 1, "378"}, {"378", 1, "378"}, {"3BC", 1, "3BC"}};
    gSettings.chboDirectBooster = 1;
    TfrmInstellingen& d = open();
    for (const LptCase& c : cases) {
        d.cboS88poort->setCurrentIndex(0);
        d.edtLPTAdres->setText(c.address);
        d.cboS88poort->setCurrentIndex(c.pick);
        emit d.cboS88poort->activated(c.pick);
        EXPECT_EQ(d.edtLPTAdres->text(), c.after) << c.address << " LPT" << c.pick;
        EXPECT_FALSE(d.edtLPTAdres->isHidden());
    }
    d.cboS88poort->setCurrentIndex(4);
    emit d.cboS88poort->activated(4);
    EXPECT_TRUE(d.edtLPTAdres->isHidden());
    EXPECT_FALSE(d.cboS88Baudrate->isHidden());
}

TEST_F(SettingsDialog, ResetWritesThePortsUsualAddress) {
    const std::pair<int, const char*> cases[] = {{1, "378"}, {2, "278"}, {5, "378"}};
    TfrmInstellingen& d = open();
    for (const auto& [port, address] : cases) {
        d.cboS88poort->setCurrentIndex(port);
        d.edtLPTAdres->setText("3BC");
        d.btnResetLPTAdres->click();
        EXPECT_EQ(d.edtLPTAdres->text(), address) << port;
    }
}

TEST_F(SettingsDialog, AnAddressThatIsNotHexadecimalKeepsTheOldOne) {
    gSettings.edtLPTAdres = 0x3BC;
    TfrmInstellingen& d = open();
    EXPECT_EQ(d.edtLPTAdres->text(), "3BC");
    d.edtLPTAdres->setText("XYZ");
    d.btnOK->click();
    EXPECT_EQ(gSettings.edtLPTAdres, 0x3BC);
}

TEST_F(SettingsDialog, TheBackgroundNameHoldsWhatTheConfigurationKeeps) {
    TfrmInstellingen& d = open();
    d.btnBeeldGroep->click();
    EXPECT_EQ(d.btnBeeldGroep->text(), "X");
    QTest::keyClicks(d.edtBeeldNaam, "abcdefghijklmnopqrstuvwxyz0123");
    EXPECT_EQ(d.edtBeeldNaam->text(), "abcdefghijklmnopqrstuvwxy");
}

TEST_F(SettingsDialog, ABackgroundPictureIsChosenByDoubleClickUpToTheNameLengthKept) {
    const std::pair<std::string, bool> cases[] = {{"achtergrond.bmp", true}, {"een_heel_lange_naam_xyz.bmp", false}};
    TfrmInstellingen& d = open();
    d.btnBeeldGroep->click();
    for (const auto& [name, taken] : cases) {
        testsupport::writeBytes(name, {'B', 'M'});
        d.edtBeeldNaam->clear();
        whenModal([file = name](QWidget* modal) {
            auto* chooser = qobject_cast<QFileDialog*>(modal);
            if (!chooser) {
                modal->close();
                return;
            }
            chooser->selectFile(QString::fromStdString(file));
            static_cast<QDialog*>(chooser)->accept();
        });
        QTest::mouseDClick(d.edtBeeldNaam, Qt::LeftButton);
        if (taken) {
            EXPECT_EQ(d.edtBeeldNaam->text().toStdString(), name);
        } else {
            EXPECT_EQ(d.edtBeeldNaam->text(), "");
            EXPECT_EQ(lastDialogMessage(), "Max. naamlengte = 25");
        }
    }
}

TEST_F(SettingsDialog, TheGuardWarningShowsForDirectModeWithoutTheGuard) {
    const std::pair<bool, bool> cases[] = {{false, true}, {true, false}};  // guard on, warning shown
    for (const auto& [guard, warning] : cases) {
        TfrmInstellingen& d = open();
        d.chboDirectBooster->setChecked(true);
        d.chboKortsluitbeveiliging->setChecked(guard);
        d.btnOK->click();
        EXPECT_EQ(!frmSchema->lblKortsluitbeveiliging->isHidden(), warning) << guard;
    }
}

TEST_F(SettingsDialog, AZoomChangeAloneRescalesWithoutAsking) {
    addTrack();
    answer(false);
    TfrmInstellingen& d = open();
    EXPECT_EQ(d.cboZoom->currentIndex(), gZoomDigit - '1');
    d.cboZoom->setCurrentIndex(gZoomDigit - '1' + 1);
    const char before = gZoomDigit;
    d.btnOK->click();
    EXPECT_EQ(gZoomDigit, before + 1);
    EXPECT_NE(lastDialogMessage(), kKeepLengths);
    EXPECT_NE(gTracks[0]->points[1].x, 300);
}

TEST_F(SettingsDialog, AZoomTheListLacksIsKeptByOk) {
    addTrack();
    gZoomDigit = '7';
    TfrmInstellingen& d = open();
    EXPECT_EQ(d.cboZoom->currentIndex(), -1);
    d.btnOK->click();
    EXPECT_EQ(gZoomDigit, '7');
    EXPECT_EQ(gTracks[0]->points[1].x, 300);
}

TEST_F(SettingsDialog, AScaleChangeAsksWhetherToKeepTheLengths) {
    for (const bool ja : {false, true}) {
        gTracks.clear();
        addTrack();
        gScaleDigit = '5';
        TfrmInstellingen& d = open();
        d.cboSchaal->setCurrentIndex(6);
        answer(ja);
        d.btnOK->click();
        EXPECT_EQ(lastDialogMessage(), kKeepLengths);
        EXPECT_EQ(gScaleDigit, '7');
        // Keeping the lengths in centimetres shrinks the diagram for the smaller scale.
        EXPECT_EQ(gTracks[0]->points[1].x != 300, ja) << ja;
    }
}

TEST_F(SettingsDialog, ANewOrientationIsTakenAndStored) {
    TfrmInstellingen& d = open();
    d.cboOrientatie->setCurrentIndex(2);
    d.btnOK->click();
    EXPECT_EQ(gOrientation, 2);
    CfgFixture f;
    f.orientation = 2;
    EXPECT_EQ(readBytes("vestrel.cfg"), f.bytes());
}

TEST_F(SettingsDialog, ANewCycleTimeSetsTheTimerAndLearnsThePeriodAgain) {
    gTickPeriod = 30;
    TfrmInstellingen& d = open();
    d.chboCyclus46ms->setChecked(true);
    d.btnOK->click();
    EXPECT_EQ(frmSchema->Timer1->interval(), 45);
    EXPECT_EQ(gTickPeriod, 0u);
    gTickPeriod = 45;
    open().chboCyclus46ms->setChecked(false);
    frmInstellingen->btnOK->click();
    EXPECT_EQ(frmSchema->Timer1->interval(), 30);
    EXPECT_EQ(gTickPeriod, 0u);
}

TEST_F(SettingsDialog, OkWritesTheConfigurationFile) {
    TfrmInstellingen& d = open();
    d.mskedtTijdbasis->setText("12");
    d.edtSnelhOranje->setText("40");
    d.edtLengteKorte->setText("120");
    d.chboDirectBooster->click();
    d.cboCompoortb->setCurrentIndex(2);
    d.cboBaudrate->setCurrentIndex(2);
    d.cboS88poort->setCurrentIndex(2);
    d.edtLPTAdres->setText("278");
    d.chboKortsluitbeveiliging->click();
    d.chboPosV->setChecked(true);
    d.chboVisuNummer->setChecked(true);
    d.chboWagondetectie->setChecked(true);
    d.btnOK->click();
    CfgFixture f;
    f.timeBase = 12;
    f.snelhOranje = 40;
    f.lengteKorte = 120;
    f.directBooster = 1;
    f.compoortb = '2';
    f.baudrate = 9600;
    f.s88poort = '2';
    f.lptAdres = 0x278;
    f.kortsluit = 2;
    f.visuNummer = 1;
    f.wagondetectie = 1;
    EXPECT_EQ(readBytes("vestrel.cfg"), f.bytes());
}

TEST_F(SettingsDialog, OkWritesTheServerOfTheNetworkFile) {
    TfrmInstellingen& d = open();
    d.edtPCAdres->setText("10.0.0.7");
    QTest::keyClicks(d.edtPCNaam, "centrale");
    EXPECT_EQ(d.edtPCAdres->displayText(), "   .   .   .   ");  // a name replaces the address
    d.btnOK->click();
    NetConfig config;
    ASSERT_TRUE(readNetConfigFile(kNetConfigFileName, config));
    EXPECT_EQ(config.name, "centrale");
    EXPECT_EQ(config.address, "");
}

TEST_F(SettingsDialog, TheClientModeLocksPortsAndProtocol) {
    gNetMode = 40;
    TfrmInstellingen& d = open();
    for (QWidget* w : std::initializer_list<QWidget*>{d.cboCompoort, d.btnCompoort, d.cboS88poort, d.cboBaudrate,
                                                      d.chboDirectBooster, d.radbtnP50X, d.radbtnP50_P50X, d.chboCTS,
                                                      d.cboSchaal, d.mskedtTijdbasis})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(d.rbtnKlient->isChecked());
    EXPECT_FALSE(d.grpServer->isHidden());
}

TEST_F(SettingsDialog, ASessionLocksScaleAndZoomAndTrackControlLocksThePorts) {
    gRunWithoutTrack = 1;
    TfrmInstellingen& d = open();
    EXPECT_FALSE(d.cboSchaal->isEnabled());
    EXPECT_FALSE(d.cboZoom->isEnabled());
    EXPECT_FALSE(d.chboVarWissel->isEnabled());
    EXPECT_TRUE(d.cboCompoort->isEnabled());
    EXPECT_TRUE(d.radbtnP50X->isEnabled());
    d.close();
    gRunWithoutTrack = 0;
    gRunWithTrack = 1;
    open();
    EXPECT_FALSE(d.cboCompoort->isEnabled());
    EXPECT_FALSE(d.chboDirectBooster->isEnabled());
    EXPECT_FALSE(d.rbtnKlient->isEnabled());
    d.close();
    gRunWithTrack = 0;
}

TEST_F(SettingsDialog, DirectModeShowsItsOwnOptionsInPlaceOfTheCommandStations) {
    TfrmInstellingen& d = open();
    EXPECT_TRUE(d.cboCompoortb->isHidden());
    EXPECT_FALSE(d.cboBaudrate->isHidden());
    d.chboDirectBooster->click();
    EXPECT_FALSE(d.cboCompoortb->isHidden());
    EXPECT_FALSE(d.chboKortsluitbeveiliging->isHidden());
    EXPECT_TRUE(d.cboBaudrate->isHidden());
    EXPECT_TRUE(d.radbtnP50X->isHidden());
    EXPECT_TRUE(d.chboPosV->isHidden());
    d.chboKortsluitbeveiliging->click();
    EXPECT_FALSE(d.chboPosV->isHidden());
}

TEST_F(SettingsDialog, TheComPortButtonOpensTheFreePortWindowModally) {
    QWidget* shown = nullptr;
    whenModal([&shown](QWidget* modal) {
        shown = modal;
        modal->close();
    });
    open().btnCompoort->click();
    EXPECT_EQ(shown, frmComVrij);
}

TEST_F(SettingsDialog, AStatusLabelOpensItsPage) {
    showSettingsPage(1);
    EXPECT_TRUE(frmInstellingen->isVisible());
    EXPECT_EQ(frmInstellingen->pctInstellingen->currentWidget(), frmInstellingen->tshReeleMode);
}

TEST_F(SettingsDialog, TheTimeBaseIsCorrectedWhileItIsTyped) {
    const FieldCase cases[] = {{"mskedtTijdbasis", "0", "1"}, {"mskedtTijdbasis", "75", "60"},
                               {"mskedtTijdbasis", "12", "12"}};
    TfrmInstellingen& d = open();
    for (const FieldCase& c : cases) {
        d.mskedtTijdbasis->selectAll();
        QTest::keyClick(d.mskedtTijdbasis, Qt::Key_Delete);
        EXPECT_EQ(d.mskedtTijdbasis->text(), "");  // emptied to type anew, not yet corrected
        QTest::keyClicks(d.mskedtTijdbasis, c.typed);
        EXPECT_EQ(d.mskedtTijdbasis->text().toStdString(), c.corrected) << c.typed;
    }
}

TEST_F(SettingsDialog, AScaleChangeMarksTheLayoutChangedSoThatItIsSaved) {
    addTrack();
    gLayoutFileName = "baan.vtl";
    gScaleDigit = '5';
    TfrmInstellingen& d = open();
    d.cboSchaal->setCurrentIndex(6);  // "N    1/160"
    answer(true);
    d.btnOK->click();
    ASSERT_EQ(gScaleDigit, '7');
    EXPECT_EQ(frmSchema->lblSchaalwaarde->text(), d.cboSchaal->itemText(6));
    EXPECT_EQ(closeQueryAction(), 2);  // closing asks to save the layout
    dispatchEditorCommand(1003);       // "Opslaan"
    const std::vector<uint8_t> file = readBytes("baan.vtl");
    ASSERT_GT(file.size(), 4u);
    EXPECT_EQ(file[4], '7');  // the scale digit
    EXPECT_EQ(gDirtyFlags, 0);
}

// Opened in the editor and kept open while a session starts: what a session may not change is locked at
// once, and a zoom chosen before the start does not move the running layout.
TEST_F(SettingsDialog, ASessionStartedWhileItIsOpenLocksTheScaleAtOnce) {
    addTrack();
    TfrmInstellingen& d = open();
    ASSERT_TRUE(d.cboZoom->isEnabled());
    d.cboZoom->setCurrentIndex(gZoomDigit - '1' + 1);
    ASSERT_EQ(toggleControlPostSession(13), 1);
    showDialogMessage("", 3);
    ASSERT_TRUE(d.isVisible());
    for (QWidget* w : std::initializer_list<QWidget*>{d.cboSchaal, d.cboZoom, d.chboVarWissel, d.chboCyclus46ms})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    const char zoom = gZoomDigit;
    d.btnOK->click();
    EXPECT_EQ(gZoomDigit, zoom);
    EXPECT_EQ(gTracks[0]->points[1].x, 300);
    open();
    EXPECT_FALSE(d.cboZoom->isEnabled());
    ASSERT_EQ(toggleControlPostSession(13), 1);  // stopping closes every dialog
    open();
    EXPECT_TRUE(d.cboZoom->isEnabled());
    EXPECT_TRUE(d.cboSchaal->isEnabled());
}

TEST_F(SettingsDialog, OpenedAgainWhileOpenItShowsTheSettingsAsTheyAre) {
    TfrmInstellingen& d = open();
    EXPECT_EQ(d.mskedtTijdbasis->text(), QString::number(gTimeBase));
    gTimeBase = 17;
    gZoomDigit = '4';
    open();
    EXPECT_EQ(d.mskedtTijdbasis->text(), "17");
    EXPECT_EQ(d.cboZoom->currentIndex(), 3);
}

TEST_F(SettingsDialog, TheServerAddressIsTypedInItsMask) {
    TfrmInstellingen& d = open();
    d.edtPCAdres->clear();
    d.edtPCAdres->setFocus();
    d.edtPCAdres->setCursorPosition(0);
    QTest::keyClicks(d.edtPCAdres, "10.1.2.3");
    EXPECT_EQ(d.edtPCAdres->displayText(), "10 .1  .2  .3  ");
    EXPECT_EQ(d.edtPCNaam->text(), "");
    d.btnOK->click();
    NetConfig config;
    ASSERT_TRUE(readNetConfigFile(kNetConfigFileName, config));
    EXPECT_EQ(config.address, "10.1.2.3");
}

}  // namespace
