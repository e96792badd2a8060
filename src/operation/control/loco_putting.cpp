#include "operation/control/loco_putting.h"

#include <mutex>

#include "layout/model/layout_model.h"
#include "link/protocol/track_packets.h"
#include "network/model/net_queue.h"
#include "operation/control/loco_operation.h"
#include "operation/draw/train_drawing.h"
#include "operation/engine/helper_locos.h"
#include "operation/engine/running_engine.h"
#include "operation/engine/train_placement.h"
#include "operation/model/train_model.h"
#include "shell/model/app_state.h"

namespace {

constexpr uint8_t kVehicleInBlock = 0x10;

template <class Visit>
void forEachWagon(LocoRec* loco, Visit visit) {
    for (WagonRec* first : {loco->frontChain, loco->rearChain})
        for (WagonRec* w : chainWagons(first)) visit(w);
}

}  // namespace

bool blockReserved(const BlockRec* block) {
    return block && (block->arrivedTrain || block->assignedTrain || (block->state & kVehicleInBlock));
}

int placeLocoOnBlock(LocoRec* loco, BlockRec* block) {
    if (!loco || !block || blockReserved(block)) return 0;
    forEachWagon(loco, [](WagonRec* w) { w->lengthUnits = static_cast<uint8_t>(wagonLengthUnits(w->lengthCm)); });
    loco->run.head = PositionRec{};
    loco->run.head.block = block;
    checkTrainLength(loco);
    if (!placeTrainOnBlock(loco, block, 0)) {
        loco->run.head = PositionRec{};
        forEachWagon(loco, [](WagonRec* w) { w->front = w->rear = PositionRec{}; });
        return 0;
    }
    loco->run.head.block = block;
    block->arrivedTrain = block->assignedTrain = loco;
    drawTrain(loco);
    loco->contactRole = loco->heading == 'H' ? 6 : 1;
    return 1;
}

int putLocoOnTrack(LocoRec* loco) {
    if (!loco || !loco->run.head.block || gLocsOnTrack.indexOf(loco) >= 0 || gHelperLocs.indexOf(loco) >= 0 ||
        gLocsOnTrack.full())
        return 0;
    BlockRec* block = loco->run.head.block;
    const int c = static_cast<uint8_t>(loco->heading) | (static_cast<uint8_t>(loco->direction) << 8);
    const uint8_t tail[4] = {static_cast<uint8_t>(c & 0xFF), static_cast<uint8_t>(c >> 8),
                             static_cast<uint8_t>(block->number), static_cast<uint8_t>(gBlocks.indexOf(block))};
    netQueueBlobRecord(30, 2, 40, loco->number, loco->slot, tail, sizeof tail);

    loco->run.head.track = nullptr;
    loco->run.head.turnout = nullptr;
    loco->connection = nullptr;
    loco->route = nullptr;
    loco->running = 0;
    loco->mode = kModeShunting;
    loco->shownSpeed = loco->speedValue = loco->targetStep = loco->currentStep = 0;
    loco->nextStepTime = 0;
    loco->holdCountdown = 0;
    loco->contactRole = loco->heading == 'H' ? 6 : 1;
    loco->run.runFlagsA &= static_cast<uint8_t>(~0x0F);
    {
        // The link thread reads the rows and the packet caches.
        std::lock_guard lock(trackPacketMutex());
        gLocsOnTrack.append(loco);
        sortByAddress(gLocsOnTrack);
        loco->packetCache = std::make_unique<PacketCache>();
        loco->blockCorrections.assign(static_cast<size_t>(2 * gBlockCount), 0);
    }
    buildLocoTrackPackets(loco);
    for (int row = gLocsOnTrack.indexOf(loco); row < gLocsOnTrack.count(); ++row) fillControlPostRow(row);
    forEachWagon(loco, [](WagonRec* w) { setWagonKind(w, w->kind, w->number, 1); });
    gLocoDataModified = 1;
    return 1;
}

int putLocoOnNamedBlock(LocoRec* loco, int c, int blockNumber, int blockIndex) {
    const char heading = static_cast<char>(c & 0xFF), direction = static_cast<char>((c >> 8) & 0xFF);
    BlockRec* block = gBlocks[blockIndex];
    if (!loco || !block || block->number != blockNumber || (heading != 'H' && heading != 'T') ||
        (direction != 'v' && direction != 'a'))
        return 0;
    if (onTrack(loco->run.head) || gLocsOnTrack.indexOf(loco) >= 0 || gHelperLocs.indexOf(loco) >= 0 ||
        gLocsOnTrack.full())
        return 0;
    loco->heading = heading;
    loco->direction = direction;
    if (placeLocoOnBlock(loco, block)) putLocoOnTrack(loco);
    return 1;
}
