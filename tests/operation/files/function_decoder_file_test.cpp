// The function-decoder file against hand-made files: the current version, version 1, damaged files
// and saving.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "layout/model/layout_model.h"
#include "operation/control/loco_operation.h"
#include "operation/files/function_decoder_file.h"
#include "operation/model/train_model.h"
#include "shell/config/messages.h"
#include "shell/model/app_state.h"
#include "test_support.h"

namespace {

using Bytes = std::vector<uint8_t>;

void put16(Bytes& b, size_t at, int v) {
    b[at] = static_cast<uint8_t>(v & 0xFF);
    b[at + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
}

void put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}

void putText(Bytes& b, size_t at, const char* s) { std::memcpy(b.data() + at, s, std::strlen(s)); }

// One 348-byte record as the file holds it: 0 address, 2 slot, 4 name, 25 count, 26 + 11 x i names,
// 334 protocol, 335 state, 339 spare, 344 locomotive number.
Bytes record(int address, int slot, const char* name, int count, int protocol, uint32_t state, int loco) {
    Bytes r(348, 0);
    put16(r, 0, address);
    put16(r, 2, slot);
    putText(r, 4, name);
    r[25] = static_cast<uint8_t>(count);
    r[334] = static_cast<uint8_t>(protocol);
    put32(r, 335, state);
    put32(r, 344, static_cast<uint32_t>(loco));
    return r;
}

Bytes header(const char* version, int count) {
    Bytes b(6, 0);
    putText(b, 0, version);
    put16(b, 4, count);
    return b;
}

void append(Bytes& to, const Bytes& more) { to.insert(to.end(), more.begin(), more.end()); }

// Decoders 5, 12 (coupled to locomotive 12) and 20, each with function states set.
Bytes threeDecoders(bool withStates) {
    Bytes f = header("V0.2", 3);
    Bytes five = record(5, 0, "Verlichting", 28, 1, withStates ? 0x0000000Fu : 0, 0);
    putText(five, 26, "Kop");
    putText(five, 26 + 11 * 27, "F28naam");
    five[339] = 7;  // a spare byte kept as it was
    Bytes twelve = record(12, 1, "Geluid", 8, 0, withStates ? 0x00000301u : 0, 12);
    putText(twelve, 26 + 11 * 2, "Fluit");
    Bytes twenty = record(20, 2, "", 1, 1, withStates ? 0xFFFFFFFFu : 0, 0);
    append(f, five);
    append(f, twelve);
    append(f, twenty);
    return f;
}

class FunctionDecoderFile : public testing::Test {
protected:
    void SetUp() override {
        gLocoFileName = "test.loc";
        gDemoStep = 0;
        auto loco = std::make_unique<LocoRec>();
        loco->number = 12;
        gLocs.append(std::move(loco));
        showDialogMessage("", 3);
    }
    void TearDown() override {
        clearFunctionDecoders();
        clearTrainTables();
    }
    static int load(const Bytes& file) {
        testsupport::writeBytes("test.fdc", file);
        return loadFunctionDecoderFile();
    }
    testsupport::ScratchDir dir;
};

TEST_F(FunctionDecoderFile, CurrentVersionLoadsWithStatesClearedAndSavesBackTheSameBytes) {
    ASSERT_EQ(load(threeDecoders(true)), 1);
    EXPECT_EQ(lastDialogMessage(), "");
    ASSERT_EQ(gFunctionDecoderCount, 3);
    const int addresses[3] = {5, 12, 20};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(gFunctionDecoders[i]->address, addresses[i]);
        EXPECT_EQ(gFunctionDecoders[i]->slot, i);
        EXPECT_EQ(gFunctionDecoders[i]->functionState, 0u);
    }
    const FunctionDecoderRec& five = *gFunctionDecoders[0];
    EXPECT_EQ(five.name, "Verlichting");
    EXPECT_EQ(five.functionCount, 28);
    EXPECT_EQ(five.functionNames[0], "Kop");
    EXPECT_EQ(five.functionNames[27], "F28naam");
    EXPECT_EQ(five.protocol, 1);
    EXPECT_EQ(five.loco, nullptr);
    EXPECT_EQ(gFunctionDecoders[1]->loco, gLocs[0]);
    EXPECT_EQ(gFunctionDecoders[1]->functionNames[2], "Fluit");
    EXPECT_EQ(gFunctionDecoders[1]->protocol, 0);

    ASSERT_EQ(saveFunctionDecoderFile(), 1);
    EXPECT_EQ(testsupport::readBytes("test.fdc"), threeDecoders(false));
}

TEST_F(FunctionDecoderFile, Version1RecordsAre128BytesAndTheRestIsZero) {
    Bytes f = header("V0.1", 2);
    for (int address : {7, 9}) {
        Bytes r = record(address, 0, "Oud", 10, 1, 0x5, 0);
        putText(r, 26 + 11 * 9, "ABCDEFGH");  // F10's name crosses byte 128
        r.resize(128);
        append(f, r);
    }
    ASSERT_EQ(load(f), 1);
    ASSERT_EQ(gFunctionDecoderCount, 2);
    const FunctionDecoderRec& d = *gFunctionDecoders[1];
    EXPECT_EQ(d.address, 9);
    EXPECT_EQ(d.name, "Oud");
    EXPECT_EQ(d.functionCount, 10);
    EXPECT_EQ(d.functionNames[9], "ABC");
    EXPECT_EQ(d.functionNames[10], "");
    EXPECT_EQ(d.protocol, 0);
    EXPECT_EQ(d.functionState, 0u);
    EXPECT_EQ(d.loco, nullptr);
}

TEST_F(FunctionDecoderFile, DamagedFilesLeaveNoDecodersAndSaySo) {
    const std::string message =
        "Er is een fout in het bestand 'test.fdc'. De functiedecoders moeten opnieuw gemaakt worden.";
    Bytes count200 = header("V0.2", 200);
    for (int i = 0; i < 200; ++i) append(count200, record(i + 1, i, "", 28, 1, 0, 0));
    Bytes short1 = header("V0.2", 2);
    append(short1, record(1, 0, "", 28, 1, 0, 0));
    Bytes countZero = header("V0.2", 1);
    append(countZero, record(1, 0, "", 0, 1, 0, 0));
    Bytes count29 = header("V0.2", 1);
    append(count29, record(1, 0, "", 29, 1, 0, 0));
    Bytes noCount = header("V0.2", 0);
    noCount.resize(5);
    for (const Bytes* f : {&count200, &short1, &countZero, &count29, &noCount}) {
        showDialogMessage("", 3);
        EXPECT_EQ(load(*f), 0);
        EXPECT_EQ(gFunctionDecoderCount, 0);
        EXPECT_EQ(lastDialogMessage(), message);
    }
}

TEST_F(FunctionDecoderFile, AFileWithoutVersionTextIsIgnored) {
    Bytes f = header("X0.2", 1);
    append(f, record(1, 0, "", 28, 1, 0, 0));
    EXPECT_EQ(load(f), 0);
    EXPECT_EQ(gFunctionDecoderCount, 0);
    EXPECT_EQ(lastDialogMessage(), "");
}

TEST_F(FunctionDecoderFile, TheNameFollowsTheLayoutWithoutALocomotiveFileOrDuringTheDemo) {
    EXPECT_EQ(functionDecoderFileName(), "test.fdc");
    gLayoutFileName = "baan.vtl";
    gDemoStep = 3;
    EXPECT_EQ(functionDecoderFileName(), "baan.fdc");
    gDemoStep = 0;
    gLocoFileName.clear();
    EXPECT_EQ(functionDecoderFileName(), "baan.fdc");
    gLayoutFileName = "abc";
    EXPECT_EQ(functionDecoderFileName(), "");
    EXPECT_EQ(loadFunctionDecoderFile(), 0);
    gLayoutFileName.clear();
}

TEST_F(FunctionDecoderFile, ASaveThatCannotBeWrittenSaysSoAndKeepsTheOldFile) {
    ASSERT_EQ(load(threeDecoders(false)), 1);
    gLocoFileName = "geen/map.loc";
    EXPECT_EQ(saveFunctionDecoderFile(), 0);
    EXPECT_EQ(lastDialogMessage(), "Kan bestand 'geen/map.fdc' niet openen !");
    gLocoFileName = "test.loc";
    EXPECT_EQ(testsupport::readBytes("test.fdc"), threeDecoders(false));
}

TEST_F(FunctionDecoderFile, ADeletedLocomotiveLeavesItsDecoderUncoupled) {
    ASSERT_EQ(load(threeDecoders(false)), 1);
    ASSERT_EQ(gFunctionDecoders[1]->loco, gLocs[0]);
    deleteLoco(gLocs[0]);
    EXPECT_EQ(gFunctionDecoders[1]->loco, nullptr);
    ASSERT_EQ(saveFunctionDecoderFile(), 1);
    const Bytes saved = testsupport::readBytes("test.fdc");
    ASSERT_EQ(saved.size(), 6u + 3 * 348);
    EXPECT_EQ(saved[6 + 348 + 344], 0);  // no locomotive number any more
}

}  // namespace
