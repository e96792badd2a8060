#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>

#include "layout/files/layout_file.h"
#include "layout/layout_file_fixture.h"
#include "shell/config/messages.h"
#include "test_support.h"

using namespace layoutfixture;
using testsupport::readBytes;
using testsupport::ScratchDir;
using testsupport::writeBytes;
namespace fs = std::filesystem;

namespace {

void loadSample(const char* name) {
    writeBytes(name, fileBytes(9, sampleLayout()));
    gLayoutFileName = name;
    ASSERT_EQ(loadLayoutFile(), 1) << lastDialogMessage();
}

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Lets writes fail with "file too large" beyond `bytes` while it lives: a disk that fills up mid-save.
struct FileSizeLimit {
    rlimit before{};
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &before);
        rlimit lim = before;
        lim.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lim);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &before); }
};

}  // namespace

// Nothing is reported saved that was not: the old file stays whole, the change marks stay set.
TEST(LayoutFileSave, AWriteThatFailsHalfwayKeepsTheOldFileAndTheChangeMarks) {
    ScratchDir dir;
    loadSample("baan.vtl");
    const auto old = readBytes("baan.vtl");
    gDirtyFlags = 3;
    int saved;
    {
        FileSizeLimit limit(1000);  // the layout needs about 2500 bytes
        saved = saveLayoutFile();
    }
    EXPECT_EQ(saved, 0);
    EXPECT_EQ(lastDialogMessage(), "Kan bestand 'baan.vtl' niet openen !");
    EXPECT_EQ(gDirtyFlags, 3);
    EXPECT_EQ(readBytes("baan.vtl"), old);
    // no temporary file left (vestrel.cfg is rewritten by every load)
    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::string>{"baan.vtl", "vestrel.cfg"}));

    gLayoutFileName = "geen/map.vtl";
    EXPECT_EQ(saveLayoutFile(), 0);
    EXPECT_EQ(lastDialogMessage(), "Kan bestand 'geen/map.vtl' niet openen !");
    EXPECT_EQ(gDirtyFlags, 3);
}

TEST(LayoutFileSave, SavingReplacesTheFileAndFindsItWhateverItsCase) {
    ScratchDir dir;
    loadSample("Baan.VTL");
    gTracks[0]->points[0].x = 4242;
    gLayoutFileName = "baan.vtl";  // written on Windows as Baan.VTL
    ASSERT_EQ(saveLayoutFile(), 1);
    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::string>{"Baan.VTL", "vestrel.cfg"}));
    ASSERT_EQ(loadLayoutFile(), 1);
    EXPECT_EQ(gTracks[0]->points[0].x, 4242);
}

// Connections and turntables left pointing outside the tables by an edit are not written: the file that
// is written can always be read back.
TEST(LayoutFileSave, LeftoverLinksAreNotWrittenSoTheFileLoadsAgain) {
    ScratchDir dir;
    loadSample("baan.vtl");
    BlockRec gone;
    TrackRec alsoGone;
    auto stale = std::make_unique<ConnectionRec>(*gConnections[0]);
    stale->to = &gone;
    gConnections.insert(0, std::move(stale));
    auto loose = std::make_unique<TurntableRec>(*gTurntables[0]);
    loose->track = &alsoGone;
    gTurntables.insert(0, std::move(loose));
    gSignals[0]->block = &gone;  // a signal without a block in the table is written as "no block"
    ASSERT_EQ(saveLayoutFile(), 1);
    ASSERT_EQ(loadLayoutFile(), 1) << lastDialogMessage();
    EXPECT_EQ(gConnectionCount, 2);
    EXPECT_EQ(gTurntableCount, 1);
    EXPECT_EQ(gTurntables[0]->track, gTracks[1]);
    EXPECT_EQ(gSignals[0]->block, nullptr);
}

TEST(DeleteLayoutFiles, DeletesTheFileAndTheCompanionsThatExist) {
    ScratchDir dir;
    for (const char* name : {"Oud.vtl", "Oud.LOC", "Oud.stp", "Oud2.trj", "ander.vtl"}) writeBytes(name, {1});
    deleteLayoutFiles("Oud.vtl");
    EXPECT_EQ(lastDialogMessage(), "Volgende bestanden werden verwijderd :\n- Oud.vtl\n- Oud.loc\n- Oud.stp");
    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::string>{"Oud2.trj", "ander.vtl"}));
}

TEST(DeleteLayoutFiles, RefusalsAndNothingToDo) {
    ScratchDir dir;
    writeBytes("x.loc", {1});
    deleteLayoutFiles("x.vtl");
    EXPECT_EQ(lastDialogMessage(), "Het bestand kon niet verwijderd worden !");
    EXPECT_TRUE(fs::exists("x.loc"));  // companions stay when the layout file itself could not go

    fs::create_directory("map.vtl");  // not a file
    deleteLayoutFiles("map.vtl");
    EXPECT_EQ(lastDialogMessage(), "Het bestand kon niet verwijderd worden !");
    EXPECT_TRUE(fs::exists("map.vtl"));

    showDialogMessage("eerder", 3);
    deleteLayoutFiles("");
    EXPECT_EQ(lastDialogMessage(), "eerder");
}

TEST(DeleteLayoutFiles, DeletingTheCurrentLayoutLeavesAnEmptyOne) {
    ScratchDir dir;
    loadSample("huidig.vtl");
    gZoomDigit = '6';
    deleteLayoutFiles("huidig.vtl");
    EXPECT_EQ(lastDialogMessage(), "Volgende bestanden werden verwijderd :\n- huidig.vtl");
    expectEmptyLayout();
    EXPECT_EQ(gZoomDigit, '3');
}

TEST(BlockIncompleteFlag, SetWhenASectionHasAKindButNoInput) {
    BlockRec b = fx::sampleBlock(0, 3);  // kinds 1, 0, 6 with inputs on all three
    b.state = 0x81;
    EXPECT_EQ(updateBlockIncompleteFlag(&b), &b);
    EXPECT_EQ(b.state, 0x81);
    b.sectionInputs[2] = 0;  // kind 0: no input needed
    updateBlockIncompleteFlag(&b);
    EXPECT_EQ(b.state, 0x81);
    b.sectionInputs[3] = 0;
    updateBlockIncompleteFlag(&b);
    EXPECT_EQ(b.state, 0xC1);
    b.sectionKinds[2] = 0;
    updateBlockIncompleteFlag(&b);
    EXPECT_EQ(b.state, 0x81);
    b.sections = 1000;  // a damaged count never reads past the arrays
    updateBlockIncompleteFlag(&b);
    EXPECT_EQ(updateBlockIncompleteFlag(nullptr), nullptr);
}
