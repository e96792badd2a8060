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
#include "layout/model/layout_codec.h"
#include "operation/model/function_decoder_codec.h"
#include "operation/model/route_codec.h"
#include "operation/model/route_file.h"
#include "shell/model/app_state.h"
#include "shell/model/version.h"
#include "steps/model/step_codec.h"
#include "steps/model/step_program.h"

int gNetSendCounter = 0;
int gNetCopyIndex = 0;

namespace {

// The table code of each copy state 4..20.
constexpr uint8_t kCopyTableCodes[17] = {4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 2, 38, 3, 35};

int oneBased(int index) { return index < 0 ? 0 : index + 1; }

// The image of record i of the copy state's table with its pointers converted, false beyond the table.
bool copyImage(int state, int i, vestrel::ByteWriter& w) {
    switch (state) {
    case 4: if (i >= gTrackCount) return false; encodeTrack(w, *gTracks[i]); return true;
    case 5: if (i >= gBlockCount) return false; encodeBlock(w, *gBlocks[i]); return true;
    case 6: if (i >= gTurnoutCount) return false; encodeTurnout(w, *gTurnouts[i]); return true;
    case 7:
        if (i >= gSignalCount) return false;
        encodeSignal(w, *gSignals[i], signalBlockLink(*gSignals[i]));
        return true;
    case 8: if (i >= gOutputCount) return false; encodeOutput(w, *gOutputs[i]); return true;
    case 9: if (i >= gInputCount) return false; encodeInput(w, *gInputs[i]); return true;
    case 10:
        if (i >= gTurntableCount) return false;
        encodeTurntable(w, *gTurntables[i], turntableTrackLink(*gTurntables[i]));
        return true;
    case 11:
        if (i >= gConnectionCount) return false;
        encodeConnection(w, *gConnections[i], connectionLinks(*gConnections[i]));
        return true;
    case 12: if (i >= gRoutes.count()) return false; writeRouteRec(w, *gRoutes[i]); return true;
    case 13: if (i >= gRouteLines.count()) return false; writeRouteLineRec(w, *gRouteLines[i]); return true;
    case 14: if (i >= gStepPrograms.count()) return false; encodeStepProgram(w, *gStepPrograms[i]); return true;
    case 15: if (i >= gSteps.count()) return false; encodeStep(w, *gSteps[i]); return true;
    case 16: if (i >= gFormulas.count()) return false; encodeFormula(w, *gFormulas[i]); return true;
    case 17: {
        if (i >= gLocCount) return false;
        const LocoRec& loco = *gLocs[i];
        LocoLinks links = locoLinksOf(loco);
        links.connection = 0;  // the client finds its own connection
        links.frontChain = static_cast<uint32_t>(loco.frontChain ? loco.frontChain->slot + 1 : 0);
        links.rearChain = static_cast<uint32_t>(loco.rearChain ? loco.rearChain->slot + 1 : 0);
        encodeLoco(w, loco, links);
        return true;
    }
    case 18:
        if (i >= gLocCount) return false;
        w.bytes(gLocs[i]->speedTable.data(), kSpeedTableSize);
        w.u8(0);
        return true;
    case 19: {
        if (i >= gWagonTotal) return false;
        const WagonRec& wagon = *gWagons[i];
        WagonLinks links = wagonLinksOf(wagon, true);
        links.next = static_cast<uint32_t>(wagon.next ? wagon.next->slot + 1 : 0);
        links.previous = static_cast<uint32_t>(wagon.previous ? wagon.previous->slot + 1 : 0);
        links.owner = static_cast<uint32_t>(wagon.owner ? oneBased(gLocs.indexOf(wagon.owner)) : 0);
        encodeWagon(w, wagon, links);
        return true;
    }
    case 20: {
        if (i >= gFunctionDecoderCount) return false;
        const FunctionDecoderRec& d = *gFunctionDecoders[i];
        encodeFunctionDecoder(w, d, d.loco ? oneBased(gLocs.indexOf(d.loco)) : 0);
        return true;
    }
    default: return false;
    }
}

void putEndRecord() {
    vestrel::ByteWriter w;
    w.u8(1);
    w.u8(1);
    writeFixedText(w, gLayoutFileName, 26);
    writeFixedText(w, gLocoFileName, 26);
    w.i16(static_cast<int16_t>(gCanvasSize.width));
    w.i16(static_cast<int16_t>(gCanvasSize.height - 23));
    std::memcpy(gNetOutBuffer + gNetOutFill, w.data().data(), w.size());
    gNetOutFill += static_cast<int>(w.size());
}

// Appends as much of the full copy as fits from state s on; returns the new state.
int appendCopy(int client, int s) {
    if (s == 3) {
        const int number = client + 1;
        const uint8_t numberRecord[kNetRecordSize] = {18, 18, 0, 0, 0, 0, static_cast<uint8_t>(number & 0xFF),
                                                      static_cast<uint8_t>(number >> 8)};
        vestrel::ByteWriter w;
        w.bytes(numberRecord, sizeof numberRecord);
        w.u8(22);
        w.u8(22);
        w.i16(0);
        w.i16(0);
        w.i32(gLayoutOffset.x);
        w.i32(gLayoutOffset.y);
        w.u8(23);
        w.u8(23);
        w.i16(0);
        w.i16(0);
        w.i16(gOrientation);
        if (gNetOutFill + static_cast<int>(w.size()) > kNetBufferSize) return s;
        std::memcpy(gNetOutBuffer + gNetOutFill, w.data().data(), w.size());
        gNetOutFill += static_cast<int>(w.size());
        gNetCopyIndex = 0;
        s = 4;
    }
    for (; s >= 4 && s <= 20; ++s) {
        for (;; ++gNetCopyIndex) {
            vestrel::ByteWriter w;
            if (!copyImage(s, gNetCopyIndex, w)) break;
            if (!netQueueTableRecord(kCopyTableCodes[s - 4], w.data().data(), static_cast<int>(w.size())))
                return s;
        }
        gNetCopyIndex = 0;
    }
    // The settings and the end record together end exactly at the buffer's end from a fill of 1904.
    if (s == 21 && gNetOutFill <= kNetBufferSize - kNetSettingsSize - kNetEndRecordSize) {
        netQueueSettings();
        putEndRecord();
        s = 30;
    }
    return s;
}

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
    netCloseSilentClients();
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
    if (s >= 3 && sessionRunning()) s = static_cast<uint8_t>(appendCopy(client, s));
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
