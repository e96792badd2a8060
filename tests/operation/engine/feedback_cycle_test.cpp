// A new feedback image in the running cycle: changed sections shown in maroon on the back buffer,
// changed blocks and inputs sent to the clients.
#include "engine_fixture.h"

#include "layout/draw/diagram_canvas.h"
#include "layout/draw/element_colours.h"
#include "link/buffers/feedback.h"
#include "platform/canvas.h"

namespace {

class FeedbackCycle : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        gRunWithTrack = 1;
        gRunWithoutTrack = 0;
        gNoFeedbackPoll = 1;
        gSettings.chboVisuTerugmeld = 1;
        gNetLinkState = 30;
        gBackBuffer = &backBuffer;
        LayoutBuilder()
            .block(1, {{100, 100}, {200, 100}, {300, 100}, {400, 100}})
            .inputs({1, 2, 3})
            .block(2, {{100, 200}, {200, 200}, {300, 200}})
            .inputs({4, 5})
            .input(9, {500, 300});
        gFeedbackByteCount = 0;
        decodeFeedbackImage();  // builds the contact map
        for (int c = 1; c <= kMaxContact; ++c) setContactBit(c, 0);
    }
    void TearDown() override {
        gBackBuffer = nullptr;
        gNoFeedbackPoll = 0;
        gFeedbackByteCount = 0;
        EngineTest::TearDown();
    }
    vestrel::Canvas backBuffer{640, 480, kBackgroundColour};
};

TEST_F(FeedbackCycle, ChangedSectionsTurnMaroonAndAreSentToTheClients) {
    setContactBit(2, 1);  // block 1, section 2
    setContactBit(9, 1);  // the input
    gFeedbackImage.publish(gFeedbackByteCount);
    tick();
    EXPECT_EQ(backBuffer.Pixel(250, 100), kMaroonColour);
    EXPECT_NE(backBuffer.Pixel(150, 100), kMaroonColour);
    EXPECT_NE(backBuffer.Pixel(350, 100), kMaroonColour);
    EXPECT_EQ(blockNumbered(1)->shownOccupancy, 0x02);
    EXPECT_NE(gInputs[0]->state, 0);
    bool block = false, input = false;
    for (const NetRecord& r : netRecords()) {
        if (r.kind == 5 && r.code == 9) {
            EXPECT_FALSE(block);
            block = true;
            EXPECT_EQ(r.a, 1);
            EXPECT_EQ(r.b, blockNumbered(1)->ownIndex);
            EXPECT_EQ(r.c, 0x02);
        }
        if (r.kind == 9 && r.code == 44) {
            input = true;
            EXPECT_EQ(r.a, 9);
            EXPECT_NE(r.c, 0);
        }
    }
    EXPECT_TRUE(block);
    EXPECT_TRUE(input);
    // Nothing new published: nothing more is sent.
    gNetOutFill = 0;
    tick();
    EXPECT_TRUE(netRecords().empty());
    // The section cleared again: drawn in the block's own colour.
    setContactBit(2, 0);
    gFeedbackImage.publish(gFeedbackByteCount);
    tick();
    EXPECT_NE(backBuffer.Pixel(250, 100), kMaroonColour);
    EXPECT_EQ(blockNumbered(1)->shownOccupancy, 0);
}

}  // namespace
