// Network records against byte fixtures written from their layouts, and the record length table.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "layout/model/layout_model.h"
#include "layout/model/scale.h"
#include "network/model/net_queue.h"
#include "network/model/net_record_lengths.h"
#include "network/model/net_records.h"
#include "network/model/net_state.h"
#include "operation/model/train_model.h"
#include "platform/byte_io.h"
#include "shell/model/settings.h"

using Bytes = std::vector<uint8_t>;

namespace {

Bytes queued() { return Bytes(gNetOutBuffer, gNetOutBuffer + gNetOutFill); }

class NetRecords : public ::testing::Test {
protected:
    void SetUp() override {
        gNetOutFill = 0;
        gNetLinkState = 30;
    }
    void TearDown() override {
        gNetOutFill = 0;
        gNetLinkState = 0;
        gSettings = Settings{};
    }
};

TEST_F(NetRecords, SettingsRecordFieldByField) {
    gScaleDigit = '5';
    gTurnoutSizeMode = 1;
    gZoomDigit = '3';
    gTimeBase = 12;
    Settings& s = gSettings;
    s.edtLengteKorte = 291;
    s.edtSnelhOranje = 45;
    s.chboWagondetectie = 1;
    s.chboPositiecontrole = 0;
    s.chboVerkeerdeWeg = 1;
    s.chboDirectBooster = 1;
    s.cboCompoort = '3';
    s.chboCTS = 1;
    s.radbtnP50X = 1;
    s.chboWSDecTussentijd = 0;
    s.chboMMWisselSeinCont = 1;
    s.chboKortsluitbeveiliging = 2;
    s.chboMolaTussentijd = 1;
    s.chboMolaWisselSein115200 = 0;
    s.chboMolaLoc7bit = 1;
    s.chboDCC19200 = 1;
    s.cboS88poort = '4';
    s.cboBaudrate = 19200;
    s.edtLPTAdres = 0x278;
    s.cboS88Baudrate = 115200;
    gSpeedFactor = 1.5f;
    gNetLinkState = 0;  // no role test

    ASSERT_EQ(netQueueSettings(), 1);
    const Bytes expected = {
        21,   21,                      // kind, code
        '5',  1,    '3', 12,           // scale digit, turnout size mode, zoom digit, time base
        0x23, 0x01,                    // short-train length 291
        45,   0,                       // orange-light speed
        1,    0,    1,   1,            // wagon detection, position check, wrong way, direct mode
        '3',  1,    1,                 // COM port, CTS, P50X alone
        0,    1,    2,                 // accessory interval, MM continuous, short-circuit guard with +V
        1,    0,    1,   1,            // MM interval, 115200, 7-bit MM, DCC 19200
        '4',  0,                       // feedback port, spare
        0x00, 0x4B,                    // baud rate 19200
        0x78, 0x02,                    // parallel port 0x278
        0x00, 0xC2, 0x01, 0x00,        // feedback baud rate 115200
        0x00, 0x00, 0xC0, 0x3F,        // speed factor 1.5
    };
    EXPECT_EQ(queued(), expected);
    EXPECT_EQ(expected.size(), static_cast<size_t>(kNetSettingsSize));
}

// Digits the layout and locomotive files refuse are not taken over: the client keeps its own, so that
// the files it writes can be read again.
TEST_F(NetRecords, ASettingsRecordWithDigitsOutOfRangeKeepsTheOwnOnes) {
    gScaleDigit = '5';
    gZoomDigit = '3';
    gTimeBase = 1;
    Bytes r(kNetSettingsSize, 0);
    r[0] = r[1] = 21;
    r[2] = '9';  // scale digits run '1'..'8'
    r[4] = 0;    // zoom digits run '1'..'9'
    r[5] = 7;
    vestrel::ByteReader in(r.data(), r.size());
    decodeSettingsRecord(in);
    EXPECT_EQ(gScaleDigit, '5');
    EXPECT_EQ(gZoomDigit, '3');
    EXPECT_EQ(gTimeBase, 7);
    r[2] = '8';
    r[4] = '9';
    vestrel::ByteReader again(r.data(), r.size());
    decodeSettingsRecord(again);
    EXPECT_EQ(gScaleDigit, '8');
    EXPECT_EQ(gZoomDigit, '9');
}

TEST_F(NetRecords, LocomotiveStateRecord) {
    LocoRec loco;
    loco.number = 1234;
    loco.slot = 7;
    loco.targetStep = 14;
    loco.effectiveStepDelay = 232;
    loco.stepDelay = 999;  // the nominal delay is not sent
    for (const auto& [flags, halted] : {std::pair{uint8_t{0x09}, uint8_t{0xFF}}, std::pair{uint8_t{0x08}, uint8_t{0}}}) {
        gNetOutFill = 0;
        loco.run.runFlagsA = flags;
        ASSERT_EQ(netQueueLocoState(loco), 1);
        EXPECT_EQ(queued(), (Bytes{2, 26, 0xD2, 0x04, 7, 0, 14, 0, 0xE8, 0, halted, 0}));
    }
}

TEST_F(NetRecords, WideBlobTableAndEchoRecords) {
    ASSERT_EQ(netQueueRecord5(30, 2, 51, 1234, 7, 3, -2, 1), 1);
    const uint8_t offset[8] = {0x10, 0, 0, 0, 0xF6, 0xFF, 0xFF, 0xFF};
    ASSERT_EQ(netQueueBlobRecord(30, 22, 22, 0, 0, offset, 8), 1);
    const uint8_t step[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    ASSERT_EQ(netQueueTableRecord(15, step, 10), 1);
    const Bytes request = {13, 37, 20, 0, 4, 0, 0xAA, 0xBB};
    std::memcpy(gNetInBuffer + 30, request.data(), request.size());
    ASSERT_EQ(netEchoRecord(38, 8), 1);
    EXPECT_EQ(queued(), (Bytes{2,  51, 0xD2, 0x04, 7, 0, 3, 0, 0xFE, 0xFF, 1, 0,  // wide
                               22, 22, 0, 0, 0, 0, 0x10, 0, 0, 0, 0xF6, 0xFF, 0xFF, 0xFF,  // blob
                               0,  15, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10,  // table record
                               13, 37, 20, 0, 4, 0, 0xAA, 0xBB}));     // echo
}

TEST(NetRecordText, BannerAndAnswer) {
    const Bytes banner = netBanner("02.06.09");
    EXPECT_EQ(banner, (Bytes{'B', 'r', 'a', 'n', 'd', 'e', 'l', 'w', 'y', 'n', '0', '2', '.', '0', '6', '.', '0', '9', 0}));
    EXPECT_EQ(banner.size(), static_cast<size_t>(kNetBannerSize));
    const Bytes answer = netAnswer("02.06.09");
    EXPECT_EQ(answer, (Bytes{'V', 'e', 's', 't', 'r', 'e', 'l', '0', '2', '.', '0', '6', '.', '0', '9', 0}));
    EXPECT_EQ(answer.size(), static_cast<size_t>(kNetAnswerSize));
}

TEST(NetRecordLengths, OneTableForBothReceivers) {
    struct Row {
        int kind, code;
        NetDirection direction;
        int length;
    };
    constexpr auto S = NetDirection::ToClient;
    constexpr auto C = NetDirection::ToServer;
    const Row rows[] = {
        {1, 1, S, 58},   {1, 1, C, 0},     {2, 26, S, 12},  {2, 26, C, 8},   {2, 24, S, kNetVariableLength},
        {2, 24, C, 0},   {2, 12, C, 8},    {2, 37, C, 78},  {2, 38, S, 136}, {2, 40, C, 10},
        {2, 51, S, 12},  {3, 37, S, 74},   {3, 40, C, 14},  {3, 46, S, 12},  {3, 51, C, 12},
        {3, 52, S, 16},  {5, 37, C, 22},   {5, 44, S, 8},   {6, 44, S, 10},  {6, 44, C, 8},
        {10, 37, S, 32}, {12, 48, C, 8},   {12, 48, S, 0},  {13, 37, C, 26}, {15, 37, S, 16},
        {16, 37, C, 28}, {18, 18, S, 8},   {19, 19, S, 8},  {21, 21, S, 38}, {22, 22, S, 14},
        {23, 23, S, 8},  {35, 37, C, 18},  {35, 49, S, 28}, {45, 45, C, 8},  {45, 45, S, 8},
        {54, 54, S, 32}, {99, 1, S, 0},    {2, 99, C, 0},   {35, 0, S, 8},   {35, 42, S, 8},
        {35, 0, C, 0},   {35, 42, C, 0},
    };
    for (const Row& r : rows)
        EXPECT_EQ(netRecordLength(r.kind, r.code, r.direction), r.length)
            << r.kind << "/" << r.code << (r.direction == S ? " S" : " C");
    EXPECT_EQ(netTableRecordLength(4), 54);
    EXPECT_EQ(netTableRecordLength(5), 466);
    EXPECT_EQ(netTableRecordLength(2), 194);
    EXPECT_EQ(netTableRecordLength(38), 130);
    EXPECT_EQ(netTableRecordLength(35), 350);
    EXPECT_EQ(netTableRecordLength(1), 0);
    EXPECT_EQ(netTrainPositionLength(2), 34 + 112);
}

}  // namespace
