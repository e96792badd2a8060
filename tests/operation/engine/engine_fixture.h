#pragma once
// A session without track control (unless a test switches it), a speed factor of 1 (a speed value of v
// moves v pixels per cycle), and helpers to read the command queue and the network buffer.
#include <gtest/gtest.h>

#include <vector>

#include "layout/layout_builder.h"
#include "layout/model/scale.h"
#include "link/buffers/link_buffers.h"
#include "link/port/link_port.h"
#include "network/model/net_queue.h"
#include "network/model/net_record_lengths.h"
#include "network/model/net_state.h"
#include "operation/control/control_post.h"
#include "operation/engine/accessory_scheduler.h"
#include "operation/engine/feedback_cycle.h"
#include "operation/engine/running_engine.h"
#include "operation/engine/second_tick.h"
#include "operation/model/train_model.h"
#include "shell/main/main_cycle.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"

class EngineTest : public testing::Test {
protected:
    using Bytes = std::vector<uint8_t>;

    void SetUp() override {
        clearTestTrains();
        gSettings = Settings{};
        gSpeedFactor = 1;
        gHalfUnit20cm = 5;
        gSnapTolerance = 4;
        gZoomDigit = '1';
        gTurnoutSizeMode = 0;
        gRunWithTrack = 0;
        gRunWithoutTrack = 1;
        gNetLinkState = 0;
        gNetOutFill = 0;
        gNoFeedbackPoll = 0;
        gFifoRecheckCountdown = 0;
        gCommandQueue.reset();
        gAccessoryQueue.clear();
        for (AccessoryDecoderRec& d : gAccessoryState) d = AccessoryDecoderRec{};
        gMsTick = gPreviousTickTime = 10000;
        gFeedbackPollDue = gAccessoryDue = 0;
    }
    void TearDown() override {
        clearTestTrains();
        LayoutBuilder();
        gRunWithoutTrack = gRunWithTrack = 0;
        gNetLinkState = 0;
        gSettings = Settings{};
    }
    // One cycle at gMsTick + ms.
    void tick(int ms = 30) {
        gMsTick += ms;
        runTrainsCycle();
        gPreviousTickTime = gMsTick;
    }
    static std::vector<Bytes> drainCommands() {
        std::vector<Bytes> out;
        LinkCommand c;
        while (gCommandQueue.take(c, directMode()) == RingTake::Command) out.emplace_back(c.bytes, c.bytes + c.length);
        return out;
    }
    // The network records queued so far as (kind, code) pairs with their first values.
    struct NetRecord {
        int kind, code, a, b, c;
    };
    static std::vector<NetRecord> netRecords() {
        std::vector<NetRecord> out;
        for (int i = 0; i + 8 <= gNetOutFill; i += 8) {
            auto v = [&](int k) { return static_cast<int16_t>(gNetOutBuffer[i + k] | (gNetOutBuffer[i + k + 1] << 8)); };
            out.push_back({gNetOutBuffer[i], gNetOutBuffer[i + 1], v(2), v(4), v(6)});
        }
        return out;
    }
    // The queued broadcast records whole, each by its own length (the locomotive state is 12 bytes).
    static std::vector<Bytes> netRecordBytes() {
        std::vector<Bytes> out;
        for (int i = 0; i + 2 <= gNetOutFill;) {
            const int n = netRecordLength(gNetOutBuffer[i], gNetOutBuffer[i + 1], NetDirection::ToClient);
            if (n <= 0 || i + n > gNetOutFill) break;
            out.emplace_back(gNetOutBuffer + i, gNetOutBuffer + i + n);
            i += n;
        }
        return out;
    }
    // How many queued records have that kind and code.
    static int netRecordCount(int kind, int code) {
        int n = 0;
        for (const Bytes& r : netRecordBytes()) n += r[0] == kind && r[1] == code;
        return n;
    }
};
