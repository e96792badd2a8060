// The queue functions: each refused exactly at its limit with the record before it whole, and the
// role rule.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "network/model/net_queue.h"
#include "network/model/net_records.h"
#include "network/model/net_state.h"
#include "operation/model/train_model.h"

using Bytes = std::vector<uint8_t>;

namespace {

const uint8_t kData[26] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26};

LocoRec& testLoco() {
    static LocoRec loco;
    loco.number = 3;
    loco.slot = 1;
    return loco;
}

struct QueueCase {
    const char* name;
    std::function<int()> queue;
    int limit;  // the lowest fill index at which the record is refused
    int size;
};

const QueueCase kCases[] = {
    {"netQueueRecord", [] { return netQueueRecord(30, 6, 44, 5, 4, 1); }, 1992, 8},
    {"netQueueRecord5", [] { return netQueueRecord5(30, 2, 51, 1, 2, 3, 4, 5); }, 1988, 12},
    {"netQueueBlobRecord", [] { return netQueueBlobRecord(30, 5, 37, 1, 0, kData, 16); }, 1978, 22},
    {"netQueueLocoState", [] { return netQueueLocoState(testLoco()); }, 1988, 12},
    {"netQueueTableRecord", [] { return netQueueTableRecord(15, kData, 10); }, 1988, 12},
    {"netQueueSettings", [] { return netQueueSettings(); }, 1962, 38},
    {"netEchoRecord", [] { return netEchoRecord(26, 26); }, 1974, 26},
};

class NetQueue : public ::testing::Test {
protected:
    void SetUp() override {
        gNetLinkState = 30;
        std::memcpy(gNetInBuffer, kData, sizeof kData);
    }
    void TearDown() override {
        gNetOutFill = 0;
        gNetLinkState = 0;
    }
};

TEST_F(NetQueue, EachFunctionIsRefusedExactlyAtItsLimit) {
    for (const QueueCase& c : kCases) {
        SCOPED_TRACE(c.name);
        // The record as it stands alone.
        gNetOutFill = 0;
        ASSERT_EQ(c.queue(), 1);
        ASSERT_EQ(gNetOutFill, c.size);
        const Bytes record(gNetOutBuffer, gNetOutBuffer + c.size);

        // One below the limit it is appended whole, ending inside the buffer.
        std::memset(gNetOutBuffer, 0xEE, kNetBufferSize);
        gNetOutFill = c.limit - 1;
        EXPECT_EQ(c.queue(), 1);
        EXPECT_EQ(gNetOutFill, c.limit - 1 + c.size);
        EXPECT_LE(gNetOutFill, kNetBufferSize);
        EXPECT_EQ(Bytes(gNetOutBuffer + c.limit - 1, gNetOutBuffer + gNetOutFill), record);

        // At the limit nothing is written and the record before stays as it was.
        const Bytes before(gNetOutBuffer, gNetOutBuffer + kNetBufferSize);
        gNetOutFill = c.limit;
        EXPECT_EQ(c.queue(), 0);
        EXPECT_EQ(gNetOutFill, c.limit);
        EXPECT_EQ(Bytes(gNetOutBuffer, gNetOutBuffer + kNetBufferSize), before);
    }
}

TEST_F(NetQueue, EchoTakesOnlyBytesThatWereReceived) {
    gNetOutFill = 0;
    EXPECT_EQ(netEchoRecord(8, 10), 0);     // would start before the buffer
    EXPECT_EQ(netEchoRecord(2001, 8), 0);   // would end behind it
    EXPECT_EQ(netEchoRecord(8, 0), 0);
    EXPECT_EQ(gNetOutFill, 0);
}

TEST_F(NetQueue, RoleRule) {
    struct Row {
        const char* who;
        uint8_t linkState;
        int server, client, locoState;  // netQueueRecord/5/Blob with role 30, the same with role 40
    };
    const Row rows[] = {
        {"stand-alone", 0, 0, 0, 0},
        {"server, a client in the handshake", 2, 0, 0, 0},
        {"server, a client receiving the copy", 4, 0, 0, 0},
        {"server, a client synchronised", 30, 1, 0, 1},
        {"client connected", 1, 0, 0, 0},
        {"client after the handshake", 2, 0, 0, 0},
        {"client synchronised", 40, 0, 1, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.who);
        gNetLinkState = r.linkState;
        for (int role : {30, 40}) {
            const int expected = role == 30 ? r.server : r.client;
            gNetOutFill = 0;
            EXPECT_EQ(netQueueRecord(role, 6, 44, 1, 0, 1), expected);
            EXPECT_EQ(netQueueRecord5(role, 2, 51, 1, 0, 1, 2, 3), expected);
            EXPECT_EQ(netQueueBlobRecord(role, 5, 37, 1, 0, kData, 16), expected);
            EXPECT_EQ(gNetOutFill, expected * (8 + 12 + 22));
        }
        gNetOutFill = 0;
        EXPECT_EQ(netQueueLocoState(testLoco()), r.locoState);
    }
}

}  // namespace
