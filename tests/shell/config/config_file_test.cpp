// vestrel.cfg against hand-made bytes.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "shell/config_fixture.h"
#include "layout/model/layout_model.h"
#include "network/model/net_state.h"
#include "shell/model/app_state.h"
#include "shell/config/config_file.h"
#include "shell/config/messages.h"
#include "shell/model/settings.h"
#include "test_support.h"

using testsupport::readBytes;
using testsupport::ScratchDir;
using testsupport::writeBytes;

namespace {

class ConfigFileTest : public ::testing::Test {
protected:
    void SetUp() override { resetConfigState(); }
    void TearDown() override { resetConfigState(); }
    void writeConfig(const CfgFixture& f) { writeBytes(dir.file("vestrel.cfg"), f.bytes()); }
    std::vector<uint8_t> fileBytes() { return readBytes(dir.file("vestrel.cfg")); }
    ScratchDir dir;
};

TEST_F(ConfigFileTest, FreshFolderGetsTheDefaults) {
    syncConfigFile();

    // Written out item by item from the table.
    const std::vector<uint8_t> expected = {
        'g', 'e', 'e', 'n', 'n', 'a', 'a', 'm', '.', 'v', 't', 'l', 10, 10,  // layout name
        'g', 'e', 'e', 'n', 'n', 'a', 'a', 'm', '.', 'l', 'o', 'c', 10, 10,  // locomotive file name
        10,                                                                  // background name
        0, 0, 0, 0, 100, 0,                                                  // x, y, zoom 100 %
        0,                                                                   // transparent
        0, 10,                                                               // faded
        '1', 10, 0, 10, 1, 10, 0, 10,                                        // COM1, CTS, time base 1, feedback
        '0', 10, 0, 0, 10, 0, 0, 10,                                         // constant, short train, orange
        0, 10, 0, 10, 0x60, 0x09, 10,                                        // direct, background, 2400 baud
        '0', 10, 0, 10, 0, 10, 0, 10, 0, 10, 0, 10, 0, 10,                   // no S88 port, 20..25
        0x78, 0x03, 10,                                                      // parallel port 0x378
        0, 10, 0, 10, 0, 10, 0, 10, 0, 10,                                   // 27..31
        '0', 10, 0, 10, 0, 10, 0, 10, 0, 10, 0, 10,                          // no second port, 33..37
        0, 10, 0x00, 0xC2, 0x01, 0x00, 10,                                   // orientation, 115200 baud
        2, 10, 0, 10};                                                       // turnout length and width
    EXPECT_EQ(fileBytes(), expected);
    EXPECT_EQ(expected, CfgFixture{}.bytes());
    EXPECT_EQ(gLayoutFileName, "geennaam.vtl");
    EXPECT_EQ(gLocoFileName, "geennaam.loc");
}

TEST_F(ConfigFileTest, ReadsEveryItemAndRewritesThemUnchanged) {
    CfgFixture f;
    f.layout = "Mijnbaan.vtl";
    f.loco = "Andere.loc";
    f.background = "achter.bmp";
    f.beeldX = 12, f.beeldY = 999, f.beeldZoom = 500;
    f.transparant = 1, f.vaag = 1, f.compoort = '3', f.cts = 1, f.timeBase = 60, f.visuTerugmeld = 1;
    f.lengteKorte = 300, f.snelhOranje = 70, f.directBooster = 1, f.achtergrondbeeld = 1, f.baudrate = 19200;
    f.s88poort = ';', f.kortsluit = 2, f.mola115200 = 1, f.dcc19200 = 1, f.molaTussentijd = 1, f.molaLoc7bit = 1;
    f.visuVerbinding = 1, f.lptAdres = 0x3BC, f.wagondetectie = 1, f.positiecontrole = 1, f.visuNummer = 1;
    f.visuSectie = 1, f.netMode = 40, f.compoortb = '9', f.cyclus46 = 1, f.wsDecTussentijd = 1, f.verkeerdeWeg = 1;
    f.mmCont = 1, f.p50x = 1, f.orientation = 3, f.s88Baudrate = 38400, f.turnoutLength = 4, f.turnoutWidth = 1;
    writeConfig(f);

    syncConfigFile();

    const Settings& s = gSettings;
    EXPECT_EQ(gLayoutFileName, "Mijnbaan.vtl");
    EXPECT_EQ(gLocoFileName, "Andere.loc");
    EXPECT_EQ(gBackgroundFileName, "achter.bmp");
    EXPECT_EQ(s.edtBeeldX, 12);
    EXPECT_EQ(s.edtBeeldY, 999);
    EXPECT_EQ(s.edtBeeldZoom, 500);
    EXPECT_EQ(s.cboCompoort, '3');
    EXPECT_EQ(gTimeBase, 60);
    EXPECT_EQ(s.edtLengteKorte, 300);
    EXPECT_EQ(s.edtSnelhOranje, 70);
    EXPECT_EQ(s.cboBaudrate, 19200);
    EXPECT_EQ(s.cboS88poort, ';');
    EXPECT_EQ(s.chboKortsluitbeveiliging, 2);
    EXPECT_EQ(s.edtLPTAdres, 0x3BC);
    EXPECT_EQ(gNetMode, 40);
    EXPECT_EQ(s.cboCompoortb, '9');
    EXPECT_EQ(s.chboCyclus46ms, 1);
    EXPECT_EQ(s.radbtnP50X, 1);
    EXPECT_EQ(gOrientation, 3);
    EXPECT_EQ(s.cboS88Baudrate, 38400);
    EXPECT_EQ(gTurnoutLengthIndex, 4);
    EXPECT_EQ(gTurnoutWidthIndex, 1);
    EXPECT_EQ(fileBytes(), f.bytes());
}

struct BadValue {
    const char* what;
    std::function<void(CfgFixture&)> write;
    std::function<int()> read;
    int expected;
};

TEST_F(ConfigFileTest, BadValuesBecomeTheirDefaults) {
    const Settings& s = gSettings;
    const std::vector<BadValue> rows = {
        {"layout name without .vtl", [](CfgFixture& f) { f.layout = "baan.txt"; },
         [] { return gLayoutFileName == "geennaam.vtl"; }, 1},
        {"layout name too short", [](CfgFixture& f) { f.layout = ".vtl"; },
         [] { return gLayoutFileName == "geennaam.vtl"; }, 1},
        {"locomotive name without .loc", [](CfgFixture& f) { f.layout = "baan.vtl", f.loco = "baan.lo"; },
         [] { return gLocoFileName == "baan.loc"; }, 1},
        {"background x 1000", [](CfgFixture& f) { f.beeldX = 1000, f.beeldY = 5, f.beeldZoom = 50; },
         [&] { return s.edtBeeldX * 1000000 + s.edtBeeldY * 1000 + s.edtBeeldZoom; }, 100},
        {"background y -1", [](CfgFixture& f) { f.beeldX = 5, f.beeldY = -1, f.beeldZoom = 50; },
         [&] { return s.edtBeeldX * 1000000 + s.edtBeeldY * 1000 + s.edtBeeldZoom; }, 100},
        {"background zoom 9", [](CfgFixture& f) { f.beeldX = 5, f.beeldY = 5, f.beeldZoom = 9; },
         [&] { return s.edtBeeldX * 1000000 + s.edtBeeldY * 1000 + s.edtBeeldZoom; }, 100},
        {"background zoom 501", [](CfgFixture& f) { f.beeldZoom = 501; }, [&] { return s.edtBeeldZoom; }, 100},
        {"COM port '0'", [](CfgFixture& f) { f.compoort = '0'; }, [&] { return s.cboCompoort; }, '1'},
        {"COM port 'A'", [](CfgFixture& f) { f.compoort = 'A'; }, [&] { return s.cboCompoort; }, '1'},
        {"time base 0", [](CfgFixture& f) { f.timeBase = 0; }, [] { return gTimeBase; }, 1},
        {"time base 61", [](CfgFixture& f) { f.timeBase = 61; }, [] { return gTimeBase; }, 1},
        {"short train -1", [](CfgFixture& f) { f.lengteKorte = -1; }, [&] { return s.edtLengteKorte; }, 0},
        {"short train 301", [](CfgFixture& f) { f.lengteKorte = 301; }, [&] { return s.edtLengteKorte; }, 0},
        {"orange speed 20", [](CfgFixture& f) { f.snelhOranje = 20; }, [&] { return s.edtSnelhOranje; }, 0},
        {"orange speed 71", [](CfgFixture& f) { f.snelhOranje = 71; }, [&] { return s.edtSnelhOranje; }, 0},
        {"orange speed 30 stays", [](CfgFixture& f) { f.snelhOranje = 30; }, [&] { return s.edtSnelhOranje; }, 30},
        {"baud rate 1200", [](CfgFixture& f) { f.baudrate = 1200; }, [&] { return s.cboBaudrate; }, 2400},
        {"baud rate 9600 stays", [](CfgFixture& f) { f.baudrate = 9600; }, [&] { return s.cboBaudrate; }, 9600},
        {"feedback port 47", [](CfgFixture& f) { f.s88poort = 47; }, [&] { return s.cboS88poort; }, 48},
        {"feedback port 60", [](CfgFixture& f) { f.s88poort = 60; }, [&] { return s.cboS88poort; }, 48},
        {"port address 0 with LPT1", [](CfgFixture& f) { f.s88poort = '1', f.lptAdres = 0; },
         [&] { return s.edtLPTAdres; }, 0x378},
        {"port address 0 with LPT2", [](CfgFixture& f) { f.s88poort = '2', f.lptAdres = 0; },
         [&] { return s.edtLPTAdres; }, 0x278},
        {"wagon detection 2", [](CfgFixture& f) { f.wagondetectie = 2; }, [&] { return s.chboWagondetectie; }, 0},
        {"position check 2", [](CfgFixture& f) { f.positiecontrole = 2; }, [&] { return s.chboPositiecontrole; }, 0},
        {"network mode 20", [](CfgFixture& f) { f.netMode = 20; }, [] { return gNetMode; }, 0},
        {"network mode 30 stays", [](CfgFixture& f) { f.netMode = 30; }, [] { return gNetMode; }, 30},
        {"second port ':'", [](CfgFixture& f) { f.compoortb = ':'; }, [&] { return s.cboCompoortb; }, '0'},
        {"wrong way 2", [](CfgFixture& f) { f.verkeerdeWeg = 2; }, [&] { return s.chboVerkeerdeWeg; }, 0},
        {"orientation 4", [](CfgFixture& f) { f.orientation = 4; }, [] { return gOrientation; }, 0},
        {"feedback baud 9600", [](CfgFixture& f) { f.s88Baudrate = 9600; }, [&] { return s.cboS88Baudrate; },
         115200},
        {"turnout length 5", [](CfgFixture& f) { f.turnoutLength = 5; }, [] { return gTurnoutLengthIndex; }, 2},
        {"turnout width 2", [](CfgFixture& f) { f.turnoutWidth = 2; }, [] { return gTurnoutWidthIndex; }, 0},
    };
    for (const BadValue& row : rows) {
        SCOPED_TRACE(row.what);
        resetConfigState();
        CfgFixture f;
        row.write(f);
        writeConfig(f);
        syncConfigFile();
        EXPECT_EQ(row.read(), row.expected);
    }
}

TEST_F(ConfigFileTest, CorrectedValuesAreWrittenBack) {
    CfgFixture bad;
    bad.timeBase = 0;
    bad.snelhOranje = 20;
    bad.lptAdres = 0;
    writeConfig(bad);
    syncConfigFile();
    CfgFixture good;
    good.snelhOranje = 0;
    good.timeBase = 1;
    good.lptAdres = 0x378;
    EXPECT_EQ(fileBytes(), good.bytes());
}

// A byte 0xFF or an int16 -1 is a value like any other: reading goes on after it.
TEST_F(ConfigFileTest, AllOnesValuesAreNotTheEndOfTheFile) {
    CfgFixture f;
    f.transparant = 0xFF;       // a byte without separator
    f.cts = 0xFF;               // a byte with separator
    f.lengteKorte = -1;         // an int16 (out of range, so it becomes 0)
    f.s88Baudrate = -1;         // an int32 (out of range, so it becomes 115200)
    f.timeBase = 30;            // items after each of them
    f.snelhOranje = 50;
    f.turnoutLength = 4;
    f.turnoutWidth = 1;
    writeConfig(f);
    syncConfigFile();
    EXPECT_EQ(gSettings.chboBeeldTransparant, 0xFF);
    EXPECT_EQ(gSettings.chboCTS, 0xFF);
    EXPECT_EQ(gTimeBase, 30);
    EXPECT_EQ(gSettings.edtLengteKorte, 0);
    EXPECT_EQ(gSettings.edtSnelhOranje, 50);
    EXPECT_EQ(gSettings.cboS88Baudrate, 115200);
    EXPECT_EQ(gTurnoutLengthIndex, 4);
    EXPECT_EQ(gTurnoutWidthIndex, 1);
}

TEST_F(ConfigFileTest, TruncatedFileKeepsTheRemainingSettings) {
    CfgFixture f;
    f.layout = "kort.vtl";
    f.loco = "kort.loc";
    f.timeBase = 20;
    f.lengteKorte = 50;
    std::vector<uint8_t> bytes = f.bytes();
    // Up to the time base with its line feed, then the first byte of the short-train length.
    // names, background, x/y/zoom, transparent, then faded, COM port, CTS, time base each with LF
    const size_t upToTimeBase = (8 + 2) + (8 + 2) + 1 + 6 + 1 + 2 + 2 + 2 + 2;
    ASSERT_EQ(bytes[upToTimeBase - 2], 20);
    bytes.resize(upToTimeBase + 2 + 2 + 1);  // feedback byte and LF, constant and LF, half an int16
    writeBytes(dir.file("vestrel.cfg"), bytes);

    gSettings.edtLengteKorte = 120;
    gSettings.chboVisuNummer = 1;
    gSettings.cboS88Baudrate = 57600;
    gTurnoutWidthIndex = 1;
    syncConfigFile();

    EXPECT_EQ(gLayoutFileName, "kort.vtl");
    EXPECT_EQ(gTimeBase, 20);
    EXPECT_EQ(gSettings.edtLengteKorte, 120);
    EXPECT_EQ(gSettings.chboVisuNummer, 1);
    EXPECT_EQ(gSettings.cboS88Baudrate, 57600);
    EXPECT_EQ(gTurnoutWidthIndex, 1);
}

TEST_F(ConfigFileTest, CapitalExtensionIsAcceptedAndStoredInLowerCase) {
    CfgFixture f;
    f.layout = "Baan.VTL";
    f.loco = "Baan.LOC";
    writeConfig(f);
    syncConfigFile();
    EXPECT_EQ(gLayoutFileName, "Baan.vtl");
    EXPECT_EQ(gLocoFileName, "Baan.loc");
    CfgFixture stored;
    stored.layout = "Baan.vtl";
    stored.loco = "Baan.loc";
    EXPECT_EQ(fileBytes(), stored.bytes());
}

TEST_F(ConfigFileTest, LongNameIsCutAtTwentyFiveCharactersAndTheRestStillRead) {
    CfgFixture f;
    f.layout = "een_veel_te_lange_naam_van_een_baan.vtl";
    f.loco = "goed.loc";
    f.timeBase = 42;
    writeConfig(f);
    syncConfigFile();
    EXPECT_EQ(gLayoutFileName, "geennaam.vtl");  // the first 25 characters do not end in .vtl
    EXPECT_EQ(gLocoFileName, "goed.loc");
    EXPECT_EQ(gTimeBase, 42);
}

TEST_F(ConfigFileTest, LaterCallsNeverReadAgain) {
    syncConfigFile();
    gTimeBase = 33;
    gLocoFileName = "x";  // the name rules apply on every call
    CfgFixture other;
    other.layout = "ander.vtl";
    other.timeBase = 7;
    writeConfig(other);

    syncConfigFile();

    EXPECT_EQ(gLayoutFileName, "geennaam.vtl");
    EXPECT_EQ(gTimeBase, 33);
    EXPECT_EQ(gLocoFileName, "geennaam.loc");
    CfgFixture now;
    now.timeBase = 33;
    EXPECT_EQ(fileBytes(), now.bytes());
}

TEST_F(ConfigFileTest, BytesAfterTheLastItemOfAnOlderFileStay) {
    CfgFixture f;
    f.timeBase = 9;
    std::vector<uint8_t> bytes = f.bytes();
    const std::vector<uint8_t> tail = {'o', 'u', 'd', 0xFF, 10};
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    writeBytes(dir.file("vestrel.cfg"), bytes);
    syncConfigFile();
    EXPECT_EQ(fileBytes(), bytes);
}

TEST_F(ConfigFileTest, UnopenableFileIsReportedAndTheSettingsStay) {
    std::filesystem::create_directory(dir.file("vestrel.cfg"));
    gTimeBase = 25;
    syncConfigFile();
    EXPECT_EQ(lastDialogMessage(), "Kan bestand 'vestrel.cfg' niet openen !");
    EXPECT_EQ(gTimeBase, 25);
    EXPECT_EQ(gLayoutFileName, "geennaam.vtl");
}

}  // namespace
