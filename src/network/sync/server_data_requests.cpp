// A client's edited data: a locomotive's data block (2/37), a wagon's data (3/37), a block's properties
// (5/37) and a turntable's settings (10/37). Each image is read field by field and checked whole; only
// the fields a dialog may change during a session are taken over, and the result goes to every client.
#include <cmath>
#include <cstring>
#include <vector>

#include "layout/dialogs/untSektie.h"
#include "layout/editor/editor_state.h"
#include "layout/model/layout_model.h"
#include "network/model/net_queue.h"
#include "network/sync/server_request_kinds.h"
#include "operation/control/control_post.h"
#include "operation/dialogs/untTrein.h"
#include "operation/model/speed_curve.h"
#include "operation/model/train_codec.h"
#include "operation/model/train_model.h"
#include "platform/byte_io.h"

namespace {


bool validSpeedSteps(int n) { return n == 14 || n == 27 || n == 28 || n == 126; }

std::vector<uint8_t> locoImage(const LocoRec& loco) {
    vestrel::ByteWriter w;
    encodeLoco(w, loco, locoLinksOf(loco));
    return w.data();
}

std::vector<uint8_t> wagonImage(const WagonRec& wagon) {
    vestrel::ByteWriter w;
    encodeWagon(w, wagon, wagonLinksOf(wagon, true));
    return w.data();
}

// The record's bytes from `from` on, laid over the image at `at`.
void overlay(std::vector<uint8_t>& image, int at, const NetRequest& q, int from, int n) {
    for (int k = 0; k < n; ++k) image[static_cast<size_t>(at + k)] = static_cast<uint8_t>(q.byte(from + k));
}

}  // namespace

int locoDataRequest(const NetRequest& q, LocoRec* loco) {
    if (q.length < 6 + kLocoDataSize) return 0;
    std::vector<uint8_t> image = locoImage(*loco);
    overlay(image, kLocoDataOffset, q, 6, kLocoDataSize);
    vestrel::ByteReader r(image.data(), image.size());
    LocoRec got;
    LocoLinks links;
    if (!decodeLoco(r, got, links)) return 0;
    const LocoRunRec& run = got.run;
    if (run.maxSpeed < 0 || !validSpeedSteps(run.speedSteps) || got.motor > 2 || got.kind > 15 || got.decoderType > 5 ||
        !std::isfinite(run.kmHeadingH) || !std::isfinite(run.kmTotal) || !std::isfinite(run.kmDay))
        return 0;
    const bool newMaximum = run.maxSpeed != loco->run.maxSpeed || run.speedSteps != loco->run.speedSteps;
    loco->run.maxSpeed = run.maxSpeed;
    std::memcpy(loco->run.spare, run.spare, sizeof loco->run.spare);  // with it whether "Max" was typed
    if (run.speedSteps != loco->run.speedSteps) {
        loco->run.speedSteps = run.speedSteps;
        loco->maxStep = run.speedSteps;
        loco->targetStep = std::min<int16_t>(loco->targetStep, run.speedSteps);
        loco->currentStep = std::min<int16_t>(loco->currentStep, run.speedSteps);
    }
    loco->run.kmHeadingH = run.kmHeadingH;
    loco->run.kmTotal = run.kmTotal;
    loco->run.kmDay = run.kmDay;
    loco->run.photo = run.photo;
    loco->name = got.name;
    loco->motor = got.motor;
    loco->kind = got.kind;
    loco->decoderType = got.decoderType;
    if (newMaximum) loco->stepDelay = static_cast<int16_t>(calcStepDelay(loco, loco->acceleration));
    if (gCurTrain == loco && frmTrein && frmTrein->isVisible()) frmTrein->close();
    const std::vector<uint8_t> now = locoImage(*loco);
    netQueueBlobRecord(30, 2, 37, loco->number, loco->slot, now.data() + kLocoDataOffset, kLocoDataSize);
    return 1;
}

int wagonDataRequest(const NetRequest& q, WagonRec* wagon) {
    if (q.length < 6 + kWagonDataSize) return 0;
    std::vector<uint8_t> image = wagonImage(*wagon);
    overlay(image, kWagonDataOffset, q, 6, kWagonDataSize);
    vestrel::ByteReader r(image.data(), image.size());
    WagonRec got;
    WagonLinks links;
    if (!decodeWagon(r, got, links)) return 0;
    const bool kindOk = got.kind == 'P' || got.kind == 'G' || got.kind == 'S' || got.kind == 'H';
    // A helper locomotive is made or released through its own request (3/51), never by the data.
    if (!kindOk || (got.kind == 'H') != (wagon->kind == 'H') || got.percent > 100) return 0;
    wagon->kind = got.kind;
    wagon->number = got.number;
    wagon->weight = got.weight;
    wagon->photo = got.photo;
    wagon->description = got.description;
    wagon->percent = got.percent;
    netQueueWagonData(*wagon);
    return 1;
}

// 5/37: 16 bytes from the allowed trains on: allowed trains, direction, two reserved bytes, flags, the
// three correction bytes, speed and wait time (int32).
int blockDataRequest(const NetRequest& q) {
    BlockRec* b = gBlocks[q.b];
    if (!b || b->number != q.a || q.code != 37 || q.length < 22) return 0;
    auto i32 = [&](int at) {
        return static_cast<int32_t>(static_cast<uint32_t>(q.byte(at)) | (q.byte(at + 1) << 8) | (q.byte(at + 2) << 16) |
                                    (static_cast<uint32_t>(q.byte(at + 3)) << 24));
    };
    const int32_t speed = i32(14), wait = i32(18);
    if (speed < 0 || speed > 999 || wait < 0 || wait > 3600) return 0;
    if (gSelectedBlock == b && frmSektie && frmSektie->isVisible()) frmSektie->close();
    constexpr uint8_t kPassengerWait = 16;
    b->allowedTrains = static_cast<uint8_t>(q.byte(6));
    b->flags = static_cast<uint8_t>((b->flags & ~kPassengerWait) | (q.byte(10) & kPassengerWait));
    b->bendCorrection = static_cast<int8_t>(q.byte(11));
    b->outwardSlope = static_cast<int8_t>(q.byte(12));
    b->returnSlope = static_cast<int8_t>(q.byte(13));
    b->speed = speed;
    b->waitTime = wait;
    vestrel::ByteWriter w;
    w.u8(b->allowedTrains);
    w.ch(b->allowedDirection);
    w.u8(b->reserved1[0]);
    w.u8(b->reserved1[1]);
    w.u8(b->flags);
    w.i8(b->bendCorrection);
    w.i8(b->outwardSlope);
    w.i8(b->returnSlope);
    w.i32(b->speed);
    w.i32(b->waitTime);
    netQueueBlobRecord(30, 5, 37, b->number, b->ownIndex, w.data().data(), static_cast<int>(w.size()));
    return 1;
}

// 10/37: 20 bytes from the decoder system on (its system, the positions and their spacing, the bridge
// speed, pulse time, time-out and run-on, then reserved bytes), 6 from the start address on (the start
// address and the two inputs). The positions belong to the layout and stay.
int turntableDataRequest(const NetRequest& q, TurntableRec* t) {
    if (q.length < 32) return 0;
    auto i16 = [&](int at) { return static_cast<int16_t>(q.byte(at) | (q.byte(at + 1) << 8)); };
    const int start = i16(26), inPosition = i16(28), occupancy = i16(30);
    if (start < 0 || inPosition < 0 || occupancy < 0) return 0;
    t->decoderSystem = static_cast<uint8_t>(q.byte(6));
    t->bridgeSpeed = static_cast<uint8_t>(q.byte(11));
    t->pulseTime = static_cast<uint8_t>(q.byte(12));
    t->timeout = static_cast<uint8_t>(q.byte(13));
    t->runOn = static_cast<uint8_t>(q.byte(15));
    t->startAddress = static_cast<int16_t>(start);
    t->inPositionInput = static_cast<int16_t>(inPosition);
    t->occupancyInput = static_cast<int16_t>(occupancy);
    q.echo();
    return 1;
}
