// Feedback contacts in the image, the feedback byte count and the decoding into block sections.
#include <gtest/gtest.h>

#include "layout/model/layout_model.h"
#include "link/buffers/feedback.h"
#include "link/buffers/link_buffers.h"

namespace {

class Feedback : public testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < kFeedbackImageSize; ++i) gFeedbackImage.storeByte(i, 0);
        gFeedbackImage.markDecoded(gFeedbackImage.lastRead().number);
        gFeedbackByteCount = 0;
    }
    void TearDown() override {
        gBlocks.clear();
        gInputs.clear();
    }
    static BlockRec* addBlock(std::initializer_list<int> sectionContacts) {
        auto b = std::make_unique<BlockRec>();
        int s = 1;
        for (int c : sectionContacts) b->sectionInputs[s++] = static_cast<int16_t>(c);
        return gBlocks.append(std::move(b));
    }
    static InputRec* addInput(int number) {
        auto in = std::make_unique<InputRec>();
        in->number = static_cast<int16_t>(number);
        return gInputs.append(std::move(in));
    }
};

TEST_F(Feedback, ContactBitsMostSignificantFirst) {
    struct Case {
        int contact, byte;
        uint8_t mask;
    };
    const Case cases[] = {{1, 0, 0x80}, {8, 0, 0x01}, {9, 1, 0x80}, {16, 1, 0x01}, {17, 2, 0x80}, {496, 61, 0x01}};
    for (const Case& c : cases) {
        SetUp();
        setContactBit(c.contact, 1);
        EXPECT_EQ(gFeedbackImage.byteAt(c.byte), c.mask) << c.contact;
        EXPECT_NE(getContactBit(c.contact), 0);
        setContactBit(c.contact, 0);
        EXPECT_EQ(gFeedbackImage.byteAt(c.byte), 0);
    }
}

TEST_F(Feedback, ContactsOutsideTheRangeAreIgnored) {
    for (int i = 0; i < kFeedbackImageSize; ++i) gFeedbackImage.storeByte(i, 0xFF);
    EXPECT_EQ(getContactBit(0), 0);
    EXPECT_EQ(getContactBit(-1), 0);
    EXPECT_EQ(getContactBit(497), 0);
    SetUp();
    for (int n : {0, -1, -8, 497, 560, 1000}) setContactBit(n, 1);
    for (int i = 0; i < kFeedbackImageSize; ++i) EXPECT_EQ(gFeedbackImage.byteAt(i), 0) << i;
}

TEST_F(Feedback, ByteCountCoversEveryContactInUse) {
    struct Case {
        int blockContact, input, bytes;
    };
    const Case cases[] = {{0, 0, 2}, {16, 0, 2}, {17, 0, 4}, {0, 33, 6}, {5, 496, 62}, {0, 600, 2}};
    for (const Case& c : cases) {
        SetUp();
        TearDown();
        if (c.blockContact) addBlock({c.blockContact});
        if (c.input) addInput(c.input);
        decodeFeedbackImage();
        EXPECT_EQ(gFeedbackByteCount, c.bytes) << c.blockContact << "/" << c.input;
    }
}

TEST_F(Feedback, ACompleteImageSetsAndClearsTheOccupiedSections) {
    BlockRec* a = addBlock({1, 2, 0, 496});
    BlockRec* b = addBlock({0, 9});
    decodeFeedbackImage();
    ASSERT_EQ(gFeedbackByteCount, 62);
    EXPECT_EQ(gContactBlock[496], 0);
    EXPECT_EQ(gContactSections[496], 1 << 3);
    EXPECT_EQ(gMaxBlockContact, 496);
    gFeedbackImage.storeByte(0, 0x40);  // contact 2
    gFeedbackImage.storeByte(1, 0x80);  // contact 9
    gFeedbackImage.storeByte(61, 0x01); // contact 496
    gFeedbackImage.publish(62);
    decodeFeedbackImage();
    EXPECT_EQ(a->occupiedSections, 0b1010);
    EXPECT_EQ(b->occupiedSections, 0b10);
    EXPECT_FALSE(gFeedbackImage.pending());
    gFeedbackImage.storeByte(0, 0x80);
    gFeedbackImage.storeByte(61, 0);
    gFeedbackImage.publish(62);
    decodeFeedbackImage();
    EXPECT_EQ(a->occupiedSections, 0b0001);
}

TEST_F(Feedback, AnIncompleteImageWaits) {
    BlockRec* a = addBlock({1});
    decodeFeedbackImage();
    gFeedbackImage.storeByte(0, 0x80);
    gFeedbackImage.publish(1);  // 2 bytes make a complete image
    decodeFeedbackImage();
    EXPECT_EQ(a->occupiedSections, 0);
    EXPECT_TRUE(gFeedbackImage.pending());
    gFeedbackImage.publish(2);
    decodeFeedbackImage();
    EXPECT_EQ(a->occupiedSections, 1);
}

TEST_F(Feedback, ToggledContactsAreDecodedAgain) {
    BlockRec* a = addBlock({3, 0, 4});
    InputRec* in = addInput(20);
    decodeFeedbackImage();
    toggleFeedbackContact(a, 2, nullptr);  // section 2 has no contact
    EXPECT_FALSE(gFeedbackImage.pending());
    toggleFeedbackContact(a, 3, nullptr);
    EXPECT_TRUE(gFeedbackImage.pending());
    decodeFeedbackImage();
    EXPECT_EQ(a->occupiedSections, 0b100);
    toggleFeedbackContact(nullptr, 0, in);
    EXPECT_NE(getContactBit(20), 0);
    toggleFeedbackContact(a, 3, nullptr);
    decodeFeedbackImage();
    EXPECT_EQ(a->occupiedSections, 0);
}

}  // namespace
