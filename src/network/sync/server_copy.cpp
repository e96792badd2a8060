#include "network/sync/server_copy.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "network/model/net_queue.h"
#include "network/model/net_record_lengths.h"
#include "network/model/net_records.h"
#include "network/model/net_state.h"
#include "network/socket/net_clients.h"
#include "network/socket/net_sockets.h"
#include "operation/model/train_codec.h"
#include "operation/model/train_model.h"
#include "platform/byte_io.h"
#include "shell/model/version.h"

int gNetSendCounter = 0;

namespace {

void sendClientNumbers() {
    for (int i = 0; i < gNetClientCount; ++i) {
        if (gNetClientStates[i] != 30) continue;
        const int number = i + 1;
        const uint8_t record[kNetRecordSize] = {18, 18, 0, 0, 0, 0, static_cast<uint8_t>(number & 0xFF),
                                                static_cast<uint8_t>(number >> 8)};
        netServerWrite(i, record, kNetRecordSize);
    }
}

}  // namespace

void netServerSendPass() {
    if (++gNetSendCounter < 3) return;
    if (!netServerListening()) {
        gNetSendCounter = 0;
        return;
    }
    const uint8_t before = gNetLinkState;
    gNetLinkState = 0;
    netQueueTrainChanges();
    for (int i = 0; i < gNetClientCount; ++i) {
        gNetLinkState = std::max(gNetLinkState, gNetClientStates[i]);
        if (gNetOutFill > 0 && gNetClientStates[i] == 30) netServerWrite(i, gNetOutBuffer, gNetOutFill);
    }
    if (gNetClientListChanged) sendClientNumbers();
    gNetOutFill = 0;
    gNetClientListChanged = false;
    if (gNetLinkState != before) colourNetLabel(gNetLinkState >= 3 ? vestrel::clGreen : vestrel::clGray);
    for (int i = 0; i < gNetClientCount; ++i) {
        if (netBuildSnapshot(i) == 0) continue;
        netServerWrite(i, gNetOutBuffer, gNetOutFill);
        break;
    }
    gNetOutFill = 0;
    gNetSendCounter = 0;
}

int netBuildSnapshot(int client) {
    if (client < 0 || client >= gNetClientCount) return 0;
    uint8_t s = gNetClientStates[client];
    if (s == 30) return gNetOutFill;
    if (s == 1) {
        const std::vector<uint8_t> banner = netBanner(kVersionText);
        std::memcpy(gNetOutBuffer, banner.data(), banner.size());
        gNetOutFill = kNetBannerSize;
        s = 2;
    }
    // States 3..21, the full copy, are filled in while the session runs: not built yet, so a client
    // that passed the handshake waits in state 3.
    if (gNetClientStates[client] == 0) return 0;
    gNetClientStates[client] = s;
    return gNetOutFill;
}

namespace {

int chainLength(const WagonRec* first) {
    int n = 0;
    for (const WagonRec* w = first; w && n <= kMaxWagons; w = w->next) ++n;
    return n;
}

// The first 24 bytes of a position (x, y, dx, dy, the two section indexes), its block, track and
// turnout as index + 1 (0 none) in one byte each, and a spare byte: 28 bytes.
void putPosition(vestrel::ByteWriter& w, const PositionRec& p) {
    w.f32(p.x);
    w.f32(p.y);
    w.f32(p.dx);
    w.f32(p.dy);
    w.i32(p.sectionA);
    w.i32(p.sectionB);
    const PositionLinks links = positionPointersToIndexes(p);
    w.u8(static_cast<uint8_t>(links.block));
    w.u8(static_cast<uint8_t>(links.track));
    w.u8(static_cast<uint8_t>(links.turnout));
    w.u8(0);
}

void putTrainPositions(vestrel::ByteWriter& w, const LocoRec& loco) {
    w.u8(2);
    w.u8(24);
    w.i16(loco.number);
    w.i16(loco.slot);
    putPosition(w, loco.run.head);
    for (const WagonRec* first : {loco.rearChain, loco.frontChain}) {
        int n = 0;
        for (const WagonRec* wagon = first; wagon && n < kMaxWagons; wagon = wagon->next, ++n) {
            putPosition(w, wagon->front);
            putPosition(w, wagon->rear);
        }
    }
}

}  // namespace

int netQueueTrainChanges() {
    for (LocoRec* loco : gLocsOnTrack) {
        if (!(loco->run.runFlagsA & 0x08)) continue;
        const int need = netTrainPositionLength(chainLength(loco->rearChain) + chainLength(loco->frontChain));
        // A train too long for even an empty buffer is passed over, so that the trains behind it are
        // still sent; a train that only does not fit now waits for the next pass with its flag set.
        if (need > kNetBufferSize) continue;
        if (gNetOutFill + need > kNetBufferSize) break;
        loco->run.runFlagsA &= static_cast<uint8_t>(~0x08);
        vestrel::ByteWriter w;
        putTrainPositions(w, *loco);
        std::memcpy(gNetOutBuffer + gNetOutFill, w.data().data(), w.size());
        gNetOutFill += static_cast<int>(w.size());
    }
    return gNetOutFill;
}
