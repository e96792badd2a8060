// A block's section lengths and directions, the order of its section kinds and contacts, and the search
// for a free contact number.
#include <gtest/gtest.h>

#include "layout/model/block_geometry.h"
#include "layout/editor/editor_state.h"
#include "layout/editor/section_numbers.h"
#include "layout/editor/track_entry.h"
#include "layout/layout_builder.h"

namespace {

TEST(BlockGeometry, SectionLengthsDirectionsAndTheRoundedTotal) {
    LayoutBuilder().block(1, {{100, 100}, {130, 140}, {130, 150}, {131, 150}});
    BlockRec& b = *gBlocks[0];
    computeBlockGeometry(b);
    EXPECT_FLOAT_EQ(b.sectionLengths[0], 50);
    EXPECT_FLOAT_EQ(b.sectionDirections[0][0], 0.6f);
    EXPECT_FLOAT_EQ(b.sectionDirections[0][1], 0.8f);
    EXPECT_FLOAT_EQ(b.sectionLengths[1], 10);
    EXPECT_FLOAT_EQ(b.sectionDirections[1][1], 1);
    EXPECT_FLOAT_EQ(b.sectionLengths[2], 1);
    EXPECT_EQ(b.totalLength, 61);
    b.points[3] = {130, 150};  // a section of no length has no direction
    computeBlockGeometry(b);
    EXPECT_FLOAT_EQ(b.sectionDirections[2][0], 0);
    EXPECT_FLOAT_EQ(b.sectionDirections[2][1], 0);
    EXPECT_EQ(b.totalLength, 60);
}

struct Normalisation {
    const char* what;
    std::initializer_list<int> kinds, inputs;
    const char* expected;
    bool incomplete;
};

TEST(BlockGeometry, NormalisingTheSections) {
    const Normalisation cases[] = {
        {"two stop sections share the first one's contact", {1, 1, 6}, {7, 8, 9}, "kinds 1 1 6 inputs 7 7 9", false},
        {"after a kind above 3 no smaller kind follows", {1, 5, 2, 6}, {7, 8, 9, 10}, "kinds 1 5 5 6 inputs 7 8 8 10",
         false},
        {"the last section is always a stop section", {1, 0, 0}, {7, 0, 9}, "kinds 1 0 6 inputs 7 0 9", false},
        {"a kind without a contact leaves the block incomplete", {1, 2, 6}, {7, 0, 9}, "kinds 1 2 6 inputs 7 0 9",
         true},
    };
    for (const Normalisation& c : cases) {
        LayoutBuilder builder;
        builder.block(1, {{100, 100}, {150, 100}, {200, 100}, {250, 100}, {300, 100}});
        BlockRec& b = *gBlocks[0];
        b.sections = static_cast<int32_t>(c.kinds.size());
        int s = 0;
        for (int k : c.kinds) b.sectionKinds[s++] = static_cast<uint8_t>(k);
        s = 1;
        for (int i : c.inputs) b.sectionInputs[s++] = static_cast<int16_t>(i);
        b.state = kBlockIncomplete;
        normalizeBlockSections(b);
        EXPECT_EQ(describeSections(&b), c.expected) << c.what;
        EXPECT_EQ((b.state & kBlockIncomplete) != 0, c.incomplete) << c.what;
    }
}

TEST(SectionNumbers, TheNextContactNotUsedByAnyBlock) {
    LayoutBuilder()
        .block(1, {{100, 100}, {150, 100}, {200, 100}})
        .inputs({1, 3})
        .block(2, {{100, 200}, {150, 200}, {200, 200}})
        .inputs({2, 496});
    gSelectedBlock = nullptr;
    nextFreeSectionNumber(0, 0);
    EXPECT_EQ(nextFreeSectionNumber(0, 1), 4);
    EXPECT_EQ(nextFreeSectionNumber(5, -1), 4);
    EXPECT_EQ(nextFreeSectionNumber(4, -1), 0);   // 3, 2 and 1 are used
    EXPECT_EQ(nextFreeSectionNumber(494, 1), 495);
    EXPECT_EQ(nextFreeSectionNumber(495, 1), 0);  // 496 is used: past the last contact
    // A block being inserted counts as if it were in the table already.
    BlockRec pending;
    pending.sections = 2;
    pending.sectionInputs[2] = 4;
    gSelectedBlock = &pending;
    gInsertingBlock = true;
    EXPECT_EQ(nextFreeSectionNumber(0, 1), 5);
    // Step 0 records the block's lowest contact; a negative start searches from there.
    pending.sectionInputs[1] = 9;
    EXPECT_EQ(nextFreeSectionNumber(0, 0), 1);
    EXPECT_EQ(nextFreeSectionNumber(-1, 1), 5);
    gInsertingBlock = false;
    gSelectedBlock = gBlocks[1];
    nextFreeSectionNumber(0, 0);
    EXPECT_EQ(nextFreeSectionNumber(-1, 1), 4);
}

}  // namespace
