// The stored image of a step program, against bytes laid out by hand from the record's table.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "steps/model/step_codec.h"
#include "steps/model/step_program.h"

namespace {

// Writes little-endian values at the offsets of the record's table.
struct Image {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(kStepProgramRecSize, 0);
    void text(int at, const char* s) { std::memcpy(&bytes[at], s, std::strlen(s)); }
    void u8(int at, uint8_t v) { bytes[at] = v; }
    void le(int at, uint32_t v, int size) {
        for (int k = 0; k < size; ++k) bytes[at + k] = static_cast<uint8_t>(v >> (8 * k));
    }
};

Image programImage() {
    Image im;
    im.text(0, "wissel heen en weer");  // name, zero-terminated within 21 bytes
    im.u8(21, 3);                        // number
    im.u8(22, 12);                       // step count
    im.u8(23, 4);                        // current step
    im.u8(24, 1);                        // state: running
    im.u8(25, 250);                      // counter
    im.le(28, 37, 2);                    // first step
    im.le(30, 0xFFFE, 2);                // wait left -2
    im.le(32, 560, 4);                   // box left, top, right, bottom
    im.le(36, 24, 4);
    im.le(40, 622, 4);
    im.le(44, 50, 4);
    im.le(48, 123456, 4);                // next second
    return im;
}

StepProgramRec program() {
    StepProgramRec p;
    p.name = "wissel heen en weer";
    p.number = 3;
    p.stepCount = 12;
    p.currentStep = 4;
    p.state = 1;
    p.counter = 250;
    p.firstStep = 37;
    p.waitLeft = -2;
    p.box = {560, 24, 622, 50};
    p.nextSecond = 123456;
    return p;
}

TEST(StepProgramImage, IsFiftySixBytesAtTheTableOffsets) {
    vestrel::ByteWriter w;
    encodeStepProgram(w, program());
    EXPECT_EQ(w.data(), programImage().bytes);

    const Image stored = programImage();
    vestrel::ByteReader r(stored.bytes);
    StepProgramRec p;
    int loco = 0;
    p.boundLoco = reinterpret_cast<LocoRec*>(&loco);
    ASSERT_TRUE(decodeStepProgram(r, p));
    EXPECT_EQ(r.pos(), static_cast<size_t>(kStepProgramRecSize));
    EXPECT_EQ(p.name, "wissel heen en weer");
    EXPECT_EQ(p.number, 3);
    EXPECT_EQ(p.stepCount, 12);
    EXPECT_EQ(p.currentStep, 4);
    EXPECT_EQ(p.state, 1);
    EXPECT_EQ(p.counter, 250);
    EXPECT_EQ(p.firstStep, 37);
    EXPECT_EQ(p.waitLeft, -2);
    EXPECT_EQ(p.box.left, 560);
    EXPECT_EQ(p.box.bottom, 50);
    EXPECT_EQ(p.nextSecond, 123456);
    EXPECT_EQ(p.boundLoco, nullptr);  // a locomotive pointer means nothing outside the running program
}

TEST(StepProgramImage, NamesOfAtMostTwentyCharacters) {
    StepProgramRec p;
    p.name = "abcdefghijklmnopqrstuvwxyz";
    vestrel::ByteWriter w;
    encodeStepProgram(w, p);
    ASSERT_EQ(w.size(), static_cast<size_t>(kStepProgramRecSize));
    EXPECT_EQ(std::string(w.data().begin(), w.data().begin() + 20), "abcdefghijklmnopqrst");
    EXPECT_EQ(w.data()[20], 0);
    // A stored name without its zero byte still ends after 20 characters.
    Image im;
    im.text(0, "ABCDEFGHIJKLMNOPQRSTU");
    vestrel::ByteReader r(im.bytes);
    ASSERT_TRUE(decodeStepProgram(r, p));
    EXPECT_EQ(p.name, "ABCDEFGHIJKLMNOPQRST");
    vestrel::ByteReader shortRead(im.bytes.data(), 55);
    EXPECT_FALSE(decodeStepProgram(shortRead, p));
}

TEST(StepProgramTable, HoldsFiftyPrograms) {
    gStepPrograms.clear();
    while (gStepPrograms.append(std::make_unique<StepProgramRec>())) {
    }
    EXPECT_EQ(gStepProgramCount, 50);
    EXPECT_TRUE(gStepPrograms.full());
    gStepPrograms.clear();
}

}  // namespace
