// The exact stored images of the locomotive, its running block, the position and the wagon.
#include <gtest/gtest.h>

#include "operation/model/train_codec.h"
#include "operation/train_images.h"

using vestrel::ByteReader;
using vestrel::ByteWriter;

namespace {

LocoRec sampleLoco() {
    LocoRec l;
    l.number = 1234;
    l.slot = 5;
    l.running = 1;
    l.mode = kModeRoute;
    l.heading = 'T';
    l.direction = 'a';
    l.holdCountdown = 3;
    l.contactRole = 4;
    l.acceleration = 9;
    l.flags = 0x06;
    l.shownSpeed = 88;
    l.speedValue = -2;
    l.targetStep = 12;
    l.currentStep = 11;
    l.lastAngle = -90;
    l.effectiveStepDelay = 230;
    l.stepDelay = 232;
    l.maxStep = 28;
    l.nextStepTime = 0x01020304;
    l.run.head.x = 100.5f;
    l.run.head.y = -3.25f;
    l.run.head.dx = 0.5f;
    l.run.head.dy = -1.0f;
    l.run.head.sectionA = 2;
    l.run.head.sectionB = 3;
    l.run.head.ix = 100;
    l.run.head.iy = -3;
    l.run.currentLine = 17;
    l.run.runFlagsA = 0x42;
    l.run.runFlagsB = 0x09;
    l.run.distanceCounter = 33;
    l.run.functionBits1 = 0x11;
    l.run.functionBits2 = 0x22;
    l.run.functionBits3 = 0x33;
    l.run.lastStepSent = 10;
    l.run.speedCorrection = -2;
    l.run.maxSpeed = 140;
    l.run.spare[0] = 0xAA;
    l.run.spare[3] = 0xBB;
    l.run.speedSteps = 126;
    l.run.kmHeadingH = 1.5f;
    l.run.kmTotal = 250.0f;
    l.run.kmDay = 0.25f;
    l.run.photo = "br86.bmp";
    l.name = "Stoomlocomotief serie 86";
    l.motor = 2;
    l.kind = 9;
    l.decoderType = 5;
    l.reserved1[0] = 0x5A;
    l.reserved1[4] = 0xA5;
    l.trainLength = 321;
    l.reserved2[1] = 0x77;
    return l;
}

Image sampleLocoImage() {
    Image im(192);
    im.i32(LocoAt::connection, 7).i32(LocoAt::route, 2).i16(LocoAt::number, 1234).i16(LocoAt::slot, 5);
    im.u8(LocoAt::running, 1).u8(LocoAt::mode, 3).u8(LocoAt::heading, 'T').u8(LocoAt::direction, 'a');
    im.u8(LocoAt::hold, 3).u8(LocoAt::role, 4).u8(LocoAt::accel, 9).u8(LocoAt::flags, 0x06);
    im.i16(LocoAt::shownSpeed, 88).i16(LocoAt::speedValue, -2).i16(LocoAt::target, 12).i16(LocoAt::current, 11);
    im.i16(LocoAt::lastAngle, -90).i16(LocoAt::effectiveDelay, 230).i16(LocoAt::delay, 232).i16(LocoAt::maxStep, 28);
    im.i32(LocoAt::nextTime, 0x01020304);
    putPosition(im, LocoAt::head, {100.5f, -3.25f, 0.5f, -1.0f, 2, 3, 100, -3, 4, 0, 6});
    im.i32(LocoAt::currentLine, 17).u8(LocoAt::runA, 0x42).u8(LocoAt::runB, 0x09).u8(LocoAt::distance, 33);
    im.u8(LocoAt::fb1, 0x11).u8(LocoAt::fb2, 0x22).u8(LocoAt::fb3, 0x33).u8(LocoAt::lastSent, 10);
    im.u8(LocoAt::correction, 0xFE).i16(LocoAt::maxSpeed, 140).u8(LocoAt::spare, 0xAA).u8(LocoAt::spare + 3, 0xBB);
    im.i16(LocoAt::steps, 126).f32(LocoAt::kmH, 1.5f).f32(LocoAt::kmTotal, 250.0f).f32(LocoAt::kmDay, 0.25f);
    im.text(LocoAt::photo, "br86.bmp").text(LocoAt::name, "Stoomlocomotief serie 86");
    im.u8(LocoAt::motor, 2).u8(LocoAt::kind, 9).u8(LocoAt::decoder, 5).u8(LocoAt::reserved, 0x5A).u8(LocoAt::reserved + 4, 0xA5);
    im.i16(LocoAt::trainLength, 321).u8(LocoAt::reserved2 + 1, 0x77);
    im.i32(LocoAt::front, 1).i32(LocoAt::rear, 0).i32(LocoAt::cache, 1).i32(LocoAt::corrections, 0);
    im.i32(LocoAt::table, 1).i32(LocoAt::helper, 1);
    return im;
}

LocoLinks sampleLinks() {
    LocoLinks k;
    k.connection = 7;
    k.route = 2;
    k.head = {4, 0, 6};
    k.frontChain = 1;
    k.packetCache = 1;
    k.speedTable = 1;
    k.helperWagon = 1;
    return k;
}

TEST(TrainCodec, LocomotiveImageIsByteExact) {
    ByteWriter w;
    encodeLoco(w, sampleLoco(), sampleLinks());
    ASSERT_EQ(w.size(), 192u);
    EXPECT_EQ(w.data(), sampleLocoImage().bytes);
}

TEST(TrainCodec, LocomotiveImageReadsBack) {
    const Image im = sampleLocoImage();
    ByteReader r(im.bytes);
    LocoRec l;
    LocoLinks k;
    ASSERT_TRUE(decodeLoco(r, l, k));
    ByteWriter w;
    encodeLoco(w, l, k);
    EXPECT_EQ(w.data(), im.bytes);
    EXPECT_EQ(l.name, "Stoomlocomotief serie 86");
    EXPECT_EQ(l.run.photo, "br86.bmp");
    EXPECT_EQ(k.head.turnout, 6);
    EXPECT_EQ(l.run.head.turnout, nullptr);
    EXPECT_FALSE(decodeLoco(r, l, k));  // nothing left: a short read
}

TEST(TrainCodec, TextFieldsKeepTheirTerminator) {
    // A 29-byte name without terminator keeps 28 characters; a longer name is cut when written.
    Image im = locoImage(1);
    im.text(LocoAt::name, std::string(29, 'x')).text(LocoAt::photo, std::string(11, 'p'));
    ByteReader r(im.bytes);
    LocoRec l;
    LocoLinks k;
    ASSERT_TRUE(decodeLoco(r, l, k));
    EXPECT_EQ(l.name, std::string(28, 'x'));
    EXPECT_EQ(l.run.photo, std::string(10, 'p'));
    l.name = std::string(40, 'y');
    ByteWriter w;
    encodeLoco(w, l, k);
    EXPECT_EQ(w.data()[LocoAt::name + 27], 'y');
    EXPECT_EQ(w.data()[LocoAt::name + 28], 0);
    EXPECT_EQ(w.data()[LocoAt::motor], 0);
}

TEST(TrainCodec, WagonImageIsByteExact) {
    WagonRec wg;
    wg.front.x = 10;
    wg.front.ix = 10;
    wg.rear.y = 20;
    wg.rear.iy = 20;
    wg.lengthUnits = 19;
    wg.kind = 'H';
    wg.spare1[1] = 0x44;
    wg.number = 70001;
    wg.weight = 4000000000u;
    wg.photo = "wagon1";
    wg.description = "Gesloten goederenwagen";
    wg.lengthCm = 15;
    wg.percent = 80;
    wg.spare2 = 0x12;
    wg.slot = 199;
    WagonLinks k;
    k.front = {1, 0, 0};
    k.rear = {0, 2, 0};
    k.next = 1;
    k.owner = 1;
    Image im(156);
    putPosition(im, WagonAt::front, {10, 0, 0, 0, 0, 0, 10, 0, 1, 0, 0});
    putPosition(im, WagonAt::rear, {0, 20, 0, 0, 0, 0, 0, 20, 0, 2, 0});
    im.u8(WagonAt::units, 19).u8(WagonAt::kind, 'H').u8(WagonAt::spare + 1, 0x44).i32(WagonAt::next, 1).i32(WagonAt::owner, 1);
    im.i32(WagonAt::number, 70001).i32(WagonAt::weight, 4000000000u).text(WagonAt::photo, "wagon1");
    im.text(WagonAt::description, "Gesloten goederenwagen").u8(WagonAt::cm, 15).u8(WagonAt::percent, 80);
    im.u8(WagonAt::spare2, 0x12).u8(WagonAt::slot, 199);
    ByteWriter w;
    encodeWagon(w, wg, k);
    ASSERT_EQ(w.size(), 156u);
    EXPECT_EQ(w.data(), im.bytes);
    ByteReader r(im.bytes);
    WagonRec back;
    WagonLinks bk;
    ASSERT_TRUE(decodeWagon(r, back, bk));
    EXPECT_EQ(back.number, 70001);
    EXPECT_EQ(back.weight, 4000000000u);
    EXPECT_EQ(back.description, "Gesloten goederenwagen");
    EXPECT_EQ(bk.rear.track, 2);
    EXPECT_EQ(bk.next, 1u);
}

TEST(TrainCodec, PointersAreWrittenAsSetOrNone) {
    LocoRec l;
    WagonRec a, b;
    l.frontChain = &a;
    l.helperWagon = &b;
    l.packetCache = std::make_unique<PacketCache>();
    const LocoLinks k = locoLinksOf(l);
    EXPECT_EQ(k.frontChain, 1u);
    EXPECT_EQ(k.rearChain, 0u);
    EXPECT_EQ(k.packetCache, 1u);
    EXPECT_EQ(k.blockCorrections, 0u);
    EXPECT_EQ(k.speedTable, 1u);
    EXPECT_EQ(k.helperWagon, 1u);
    a.next = &b;
    a.owner = &l;
    const WagonLinks w = wagonLinksOf(a, true);
    EXPECT_EQ(w.next, 1u);
    EXPECT_EQ(w.previous, 0u);
    EXPECT_EQ(w.owner, 1u);
}

}  // namespace
