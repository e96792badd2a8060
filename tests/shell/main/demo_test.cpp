// The guided demo's text file, its window and the start and stop of a demo on the real main window.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <filesystem>
#include <string>

#include "layout/model/layout_model.h"
#include "shell/config/messages.h"
#include "shell/dialogs/untDemo.h"
#include "shell/main/demo.h"
#include "shell/model/app_state.h"
#include "shell/model/demo_script.h"
#include "shell/shell_test_support.h"
#include "shell/window/untSchema.h"

namespace {

std::vector<uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

// Writes the demo text into the working folder, under a name in other case than the program asks for.
void writeScript(const testsupport::ScratchDir& dir, const std::string& text) {
    std::filesystem::create_directories(dir.file("Demo"));
    testsupport::writeBytes(dir.file("Demo/VestrelDemo_N.TXT"), bytesOf(text));
}

// Seven chapters; the fifth title holds e-acute (0xE9) and the euro sign (0x80) of code page 1252.
std::string sevenChapters() {
    std::string text = "Welkom bij de demo\r\n";
    for (int n = 1; n <= 7; ++n) {
        text += "# hoofdstuk " + std::to_string(n) + "\r\n";
        text += n == 5 ? std::string("D\xE9mo vijf \x80 zeven locs\r\n") : "Titel van demo " + std::to_string(n) + "\r\n";
        text += "uitleg " + std::to_string(n) + "a\r\nuitleg " + std::to_string(n) + "b\r\n";
    }
    return text;
}

TEST(DemoScript, ReadsWholeLinesOfAnyLengthWithoutTheirEnds) {
    testsupport::ScratchDir dir;
    const std::string longLine(3000, 'x');
    writeScript(dir, "intro\r\n\r\n" + longLine + "\r\nunix line\nlast line");
    DemoScript script;
    ASSERT_TRUE(script.open("demo\\vestreldemo_n.txt"));
    std::string line;
    const char* expected[] = {"intro", "", nullptr, "unix line", "last line"};
    for (const char* e : expected) {
        ASSERT_TRUE(script.readLine(line));
        EXPECT_EQ(line, e ? std::string(e) : longLine);
    }
    EXPECT_FALSE(script.readLine(line));
    EXPECT_FALSE(script.open("demo\\anders.txt"));
}

TEST(DemoScript, SkipsToTheLineAfterTheNthHashLine) {
    testsupport::ScratchDir dir;
    writeScript(dir, "intro #1 is no chapter\r\n#\r\ntitel een!\r\ntekst # ook niet\r\n#2\r\ntitel twee!\r\n");
    DemoScript script;
    ASSERT_TRUE(script.open("demo\\vestreldemo_n.txt"));
    std::string line;
    ASSERT_TRUE(script.readLine(line));
    ASSERT_TRUE(script.skipToChapter(2));
    ASSERT_TRUE(script.readLine(line));
    EXPECT_EQ(line, "titel twee!");
    ASSERT_TRUE(script.open("demo\\vestreldemo_n.txt"));
    ASSERT_TRUE(script.readLine(line));
    EXPECT_FALSE(script.skipToChapter(3));
}

TEST(Demo, TheDemoWindow) {
    RunningProgram p;
    p.start();
    ASSERT_TRUE(frmDemo);
    EXPECT_EQ(frmDemo->size(), QSize(792, 64));
    EXPECT_TRUE(frmDemo->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(frmDemo->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(frmDemo->lblTekst->wordWrap());
    EXPECT_EQ(frmDemo->lblDemoLoopt->text(), "DEMO LOOPT");
    EXPECT_EQ(frmDemo->btnVerder->text(), "VERDER");
    EXPECT_EQ(frmDemo->btnStop->text(), "STOP");
}

TEST(Demo, TheFifthDemoTakesTheLineAfterTheFifthHashLineAsItsCaption) {
    RunningProgram p;
    p.start();
    writeScript(p.dir, sevenChapters());
    runDemoStep(5);
    EXPECT_EQ(frmDemo->windowTitle(), QString::fromUtf8("Démo vijf € zeven locs"));
    // No step of the demo is there to go on with: it ends as a demo ends.
    EXPECT_EQ(gDemoStep, 0);
    EXPECT_FALSE(frmDemo->isVisible());
    EXPECT_TRUE(frmSchema->grpCmdpost->isEnabled());
    EXPECT_FALSE(gDemoScript.isOpen());
}

TEST(Demo, AShortTitleOrAMissingChapterEndsTheDemoWithoutAWord) {
    struct Row {
        const char* text;
        int demo;
    };
    const Row rows[] = {
        {"intro\r\n#\r\n123456789\r\nuitleg\r\n", 1},  // 9 characters
        {"intro\r\n#\r\nlang genoeg\r\n#\r\nook lang genoeg\r\n", 3},
    };
    for (const Row& row : rows) {
        RunningProgram p;
        p.start();
        writeScript(p.dir, row.text);
        showDialogMessage("vooraf", 3);
        runDemoStep(row.demo);
        EXPECT_EQ(lastDialogMessage(), "vooraf") << row.demo;
        EXPECT_EQ(frmDemo->windowTitle(), "Demo") << row.demo;
        EXPECT_EQ(gDemoStep, 0);
        EXPECT_FALSE(frmDemo->isVisible());
        EXPECT_FALSE(gDemoScript.isOpen());
    }
}

TEST(Demo, RefusesWithoutItsTextFileAndWithAnUnsavedLayout) {
    RunningProgram p;
    p.start();
    runDemoStep(7);
    EXPECT_EQ(lastDialogMessage(), "Kan bestand 'demo\\vestreldemo_n.txt' niet openen !");
    EXPECT_EQ(gDemoStep, 0);

    writeScript(p.dir, sevenChapters());
    gDirtyFlags = 1;
    runDemoStep(2);
    EXPECT_EQ(lastDialogMessage(), "De huidige spoorbaan is gewijzigd en nog niet opgeslagen !");
    EXPECT_EQ(gDemoStep, 0);
    EXPECT_EQ(gDirtyFlags, 1);
    EXPECT_EQ(frmDemo->windowTitle(), "Demo");
    EXPECT_FALSE(gDemoScript.isOpen());
}

TEST(Demo, NextLineShowsTheDecodedTextAndAddsItsSignedStep) {
    RunningProgram p;
    p.start();
    writeScript(p.dir, "eerste\r\nstap \x80 twee\r\nderde\r\n");
    ASSERT_TRUE(gDemoScript.open("demo\\vestreldemo_n.txt"));
    gDemoStep = 10;
    showNextDemoLine(1);
    EXPECT_EQ(frmDemo->lblTekst->text(), "eerste");
    EXPECT_EQ(gDemoStep, 11);
    showNextDemoLine(255);
    EXPECT_EQ(frmDemo->lblTekst->text(), QString::fromUtf8("stap € twee"));
    EXPECT_EQ(gDemoStep, 10);
    gDemoStep = 0;
    gDemoScript.close();
}

TEST(Demo, StopEndsTheDemoAndGivesTheControlPostBack) {
    RunningProgram p;
    p.start();
    writeScript(p.dir, sevenChapters());
    ASSERT_TRUE(gDemoScript.open("demo\\vestreldemo_n.txt"));
    gDemoStep = 10;
    gDirtyFlags = 2;
    frmSchema->grpCmdpost->setEnabled(false);
    frmDemo->show();
    clickButton(frmDemo, "btnStop");
    EXPECT_EQ(gDemoStep, 0);
    EXPECT_EQ(gDirtyFlags, 0);
    EXPECT_TRUE(frmSchema->grpCmdpost->isEnabled());
    EXPECT_FALSE(frmDemo->isVisible());
    EXPECT_FALSE(gDemoScript.isOpen());
}

}  // namespace
