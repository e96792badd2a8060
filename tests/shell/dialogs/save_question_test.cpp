// The save question before changes would be lost, and saving a layout that has no blocks yet.
#include <gtest/gtest.h>

#include <QPushButton>
#include <filesystem>
#include <memory>

#include "layout/editor/editor_dispatch.h"
#include "layout/model/layout_model.h"
#include "shell/model/app_state.h"
#include "shell/dialogs/untBestandOpslaan.h"
#include "shell/window/untSchema.h"
#include "shell/shell_test_support.h"

namespace {

class SaveQuestion : public ::testing::Test {
protected:
    void SetUp() override {
        program.start();
        auto track = std::make_unique<TrackRec>();
        track->points[0] = {100, 100};
        track->points[1] = {200, 100};
        track->segments = 1;
        gTracks.append(std::move(track));
        gDirtyFlags = 1;
    }
    bool saved() const { return std::filesystem::exists(program.dir.file(gLayoutFileName)); }
    RunningProgram program;
};

TEST_F(SaveQuestion, LeavingAModifiedLayoutAsksAndNeenLeavesWithoutSaving) {
    EXPECT_FALSE(frmSchema->close());
    ASSERT_TRUE(processUntil([] { return frmBestandOpslaan->isVisible(); }));
    EXPECT_EQ(frmBestandOpslaan->tekst(), "Wilt u de spoorbaan opslaan ?");
    EXPECT_EQ(gActiveDialog, 3);
    frmBestandOpslaan->btnNeen->click();
    EXPECT_FALSE(frmSchema->isVisible());
    EXPECT_FALSE(saved());
}

TEST_F(SaveQuestion, JaSavesALayoutWithoutBlocksAndLeaves) {
    EXPECT_FALSE(frmSchema->close());
    ASSERT_TRUE(processUntil([] { return frmBestandOpslaan->isVisible(); }));
    frmBestandOpslaan->btnJa->click();
    EXPECT_TRUE(saved());
    EXPECT_EQ(gDirtyFlags, 0);
    EXPECT_FALSE(frmSchema->isVisible());
}

TEST_F(SaveQuestion, AnnulerenKeepsTheProgramAndNothingPending) {
    EXPECT_FALSE(frmSchema->close());
    ASSERT_TRUE(processUntil([] { return frmBestandOpslaan->isVisible(); }));
    frmBestandOpslaan->btnAnnuleren->click();
    EXPECT_TRUE(frmSchema->isVisible());
    EXPECT_EQ(gEditMode, 0u);
    EXPECT_EQ(gActiveDialog, 0);
    EXPECT_FALSE(saved());
}

TEST_F(SaveQuestion, SavingALayoutWithoutBlocksNeedsNoDirectionAndIsDone) {
    dispatchEditorCommand(1003);
    EXPECT_TRUE(saved());
    EXPECT_EQ(gDirtyFlags, 0);
    EXPECT_EQ(gEditMode, 0u);
    EXPECT_EQ(gActiveDialog, 0);
}

}  // namespace
