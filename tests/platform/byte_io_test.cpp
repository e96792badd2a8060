#include <gtest/gtest.h>

#include "platform/byte_io.h"
#include "test_support.h"

using namespace vestrel;

TEST(ByteIo, ReadsLittleEndianAndNoticesShortReads) {
    const std::vector<uint8_t> bytes = {0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0xFE, 0x00, 0x00, 0x80, 0x3F};
    ByteReader r(bytes);
    EXPECT_EQ(r.u16(), 0x1234);
    EXPECT_EQ(r.i32(), 0x12345678);
    EXPECT_EQ(r.i8(), -2);
    EXPECT_FLOAT_EQ(r.f32(), 1.0f);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.u16(), 0);
    EXPECT_FALSE(r.ok());
}

TEST(ByteIo, ShortReadInTheMiddleOfAValueFailsAndStaysFailed) {
    const std::vector<uint8_t> bytes = {1, 2, 3};
    ByteReader r(bytes);
    EXPECT_EQ(r.u32(), 0u);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.u8(), 0);  // nothing more is handed out after a failure
    ByteReader r2(bytes);
    auto sub = r2.sub(2);
    EXPECT_EQ(sub.u16(), 0x0201);
    EXPECT_EQ(r2.u8(), 3);
    EXPECT_FALSE(r2.sub(1).ok());
}

TEST(ByteIo, WriterProducesLittleEndianBytes) {
    ByteWriter w;
    w.i16(-2);
    w.u32(0xA1B2C3D4);
    w.f32(-2.5f);
    w.zeros(2);
    const std::vector<uint8_t> expect = {0xFE, 0xFF, 0xD4, 0xC3, 0xB2, 0xA1, 0x00, 0x00, 0x20, 0xC0, 0, 0};
    EXPECT_EQ(w.data(), expect);
}

TEST(ByteIo, AtomicWriteReplacesTheFileAndFailsWithoutTouchingIt) {
    testsupport::ScratchDir dir;
    ASSERT_TRUE(writeFileAtomic("a.bin", {1, 2, 3}));
    ASSERT_TRUE(writeFileAtomic("a.bin", {4, 5}));
    EXPECT_EQ(testsupport::readBytes("a.bin"), (std::vector<uint8_t>{4, 5}));
    EXPECT_FALSE(writeFileAtomic("missing-folder/a.bin", {1}));
}

TEST(ByteIo, RewrittenFileHoldsExactlyTheNewContent) {
    testsupport::ScratchDir dir;
    for (const std::vector<uint8_t>& content : {std::vector<uint8_t>{1, 2, 3, 4}, {5, 6}, {}, {7, 8, 9}}) {
        RewrittenFile f;  // made when missing, then longer, shorter, empty and longer again
        ASSERT_TRUE(f.open("r.txt"));
        ASSERT_TRUE(f.rewrite(content.data(), content.size()));
        EXPECT_FALSE(f.isOpen());
        EXPECT_EQ(testsupport::readBytes("r.txt"), content);
    }
    RewrittenFile missing;
    EXPECT_FALSE(missing.open("missing-folder/r.txt"));
    EXPECT_FALSE(missing.rewrite("x", 1));
}
