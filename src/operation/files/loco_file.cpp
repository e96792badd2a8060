#include "operation/files/loco_file.h"

#include <algorithm>

#include "layout/frame/render.h"
#include "layout/model/scale.h"
#include "layout/editor/turntable_operation.h"
#include "link/protocol/track_packets.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "operation/files/function_decoder_file.h"
#include "operation/engine/helper_locos.h"
#include "operation/engine/running_engine.h"
#include "operation/engine/wagon_coupling.h"
#include "operation/model/length_units.h"
#include "operation/model/loco_file_format.h"
#include "operation/control/dialog_records.h"
#include "operation/control/loco_operation.h"
#include "operation/control/picking.h"
#include "operation/model/route_file.h"
#include "operation/engine/train_placement.h"
#include "platform/byte_io.h"
#include "platform/paths.h"
#include "shell/model/app_state.h"
#include "shell/config/messages.h"
#include "steps/model/formula_vars.h"

using vestrel::ByteWriter;

// ---------------------------------------------------------------- saving

namespace {

int locoNumberInFile(const LocoRec* loco) { return loco ? gLocs.indexOf(loco) + 1 : 0; }

void writeTrains(ByteWriter& w) {
    w.i32(gLocCount);
    for (const LocoRec* loco : gLocs) encodeLoco(w, *loco, locoLinksOf(*loco));
    for (const LocoRec* loco : gLocs) w.bytes(loco->speedTable.data(), kSpeedTableSize);
    int coupled = 0;
    for (const LocoRec* loco : gLocs)
        for (const WagonRec* first : {loco->frontChain, loco->rearChain})
            for (const WagonRec* wg = first; wg && coupled < kMaxWagons; wg = wg->next, ++coupled)
                encodeWagon(w, *wg, wagonLinksOf(*wg, true));
    w.i32(gWagonCounts.loose);
    for (int i = 0; i < gWagonCounts.loose; ++i) encodeWagon(w, *gWagons[i], wagonLinksOf(*gWagons[i], true));
    w.i32(gWagonTotal);
    gWagonCounts.coupledEnd = gWagonCounts.loose + coupled;
    for (int i = gWagonCounts.coupledEnd; i < gWagonTotal; ++i) encodeWagon(w, *gWagons[i], wagonLinksOf(*gWagons[i], true));
}

void writeRunState(ByteWriter& w) {
    w.i32(gBlockCount);
    for (const BlockRec* b : gBlocks) {
        const int assigned = locoNumberInFile(b->assignedTrain);
        w.i32(b->arrivedTrain ? assigned : 0);
        w.i32(assigned);
    }
    w.i32(gTurnoutCount);
    for (const TurnoutRec* t : gTurnouts) {
        w.i32(locoNumberInFile(t->holder));
        w.ch(t->position);
    }
    w.i32(gSignalCount);
    for (const SignalRec* s : gSignals) w.ch(s->aspect);
    w.i32(gTurntableCount);
    for (const TurntableRec* t : gTurntables) {
        w.u8(t->secondPosition);
        w.f32(t->currentAngle);
        w.i32(locoNumberInFile(t->loco));
    }
    for (float v : gFormulaVars) w.f32(v);
}

std::string cannotOpen() { return "Kan bestand '" + gLocoFileName + "' niet openen !"; }

}  // namespace

int saveLocoFile() {
    rotateLayout(0, 2);
    ByteWriter w;
    w.text("V1.1");
    w.ch(gZoomDigit);
    w.zeros(3);
    writeTrains(w);
    writeRunState(w);
    if (!vestrel::writeFileAtomic(vestrel::resolvePath(gLocoFileName), w.data())) {
        showDialogMessage(cannotOpen(), 1);
        return 0;
    }
    gLocoDataModified = 0;
    return 1;
}

// ---------------------------------------------------------------- loading

namespace {

void announceToClients() {
    uint8_t name[26] = {};
    std::copy_n(gLocoFileName.begin(), std::min<size_t>(gLocoFileName.size(), 25), name);
    netQueueBlobRecord(30, 54, 54, 0, 0, name, sizeof name);
}

std::string damagedFile(const char* consequence) {
    return "Er is een fout in het bestand '" + gLocoFileName + "'. " + consequence;
}

WagonRec* installWagon(StoredWagon& w) {
    w.installed = gWagons.append(std::move(w.rec));
    return w.installed;
}

// Links a stored chain through next and previous and gives it its owner; returns its first wagon.
WagonRec* installChain(std::vector<StoredWagon>& chain, LocoRec* owner) {
    WagonRec* previous = nullptr;
    for (StoredWagon& s : chain) {
        WagonRec* w = installWagon(s);
        w->previous = previous;
        w->owner = owner;
        if (previous) previous->next = w;
        previous = w;
    }
    return chain.empty() ? nullptr : chain.front().installed;
}

// Loose wagons on the track form runs: a stored next links to the following loose wagon.
void installLooseWagons(std::vector<StoredWagon>& loose) {
    for (size_t i = 0; i < loose.size(); ++i) {
        WagonRec* w = installWagon(loose[i]);
        WagonRec* before = i > 0 ? loose[i - 1].installed : nullptr;
        if (before && loose[i - 1].links.next) {
            before->next = w;
            w->previous = before;
        }
    }
    gWagonCounts.loose = static_cast<int>(loose.size());
}

void installOffTrack(std::vector<StoredWagon>& wagons) {
    for (StoredWagon& s : wagons) {
        s.rec->front = s.rec->rear = PositionRec{};
        installWagon(s);
    }
}

void markWagonEnd(const PositionRec& p) {
    if (p.block) p.block->state = static_cast<uint8_t>((p.block->state & 0x40) | 0x10);  // keeps "incomplete"
    else if (p.track) p.track->vehicleFlags = 0x10;
    else if (p.turnout) p.turnout->vehicleFlags = 0x10;
}

void applyRunState(const StoredRunState& s, const std::vector<LocoRec*>& fileOrder) {
    auto loco = [&](int32_t n) { return n > 0 ? fileOrder[static_cast<size_t>(n - 1)] : nullptr; };
    for (int i = 0; i < gBlockCount; ++i) {
        const StoredBlockState& b = s.blocks[static_cast<size_t>(i)];
        if (b.assigned == 0 || (b.arrived != 0 && b.arrived != b.assigned)) continue;
        gBlocks[i]->assignedTrain = loco(b.assigned);
        if (b.arrived) gBlocks[i]->arrivedTrain = loco(b.assigned);
    }
    for (int i = 0; i < gTurnoutCount; ++i) {
        const StoredTurnoutState& t = s.turnouts[static_cast<size_t>(i)];
        gTurnouts[i]->holder = loco(t.holder);
        if (t.position == 'G' || t.position == 'R') gTurnouts[i]->position = t.position;
    }
    for (int i = 0; i < gSignalCount; ++i) gSignals[i]->aspect = s.signalAspects[static_cast<size_t>(i)];
    for (size_t i = 0; i < s.turntables.size(); ++i) {
        TurntableRec* t = gTurntables[static_cast<int>(i)];
        t->currentPosition = t->secondPosition = s.turntables[i].target;
        t->currentAngle = s.turntables[i].angle;
        if (turntableBridgeFollowsCentre(*t)) turntableBridgeEnds(t, t->currentAngle, t->track);
        t->loco = nullptr;
    }
}

void putOnTrack(StoredLoco& s, float factor) {
    LocoRec* l = s.installed;
    gLocsOnTrack.append(l);
    fixupPositionRecord(l->run.head, s.links.head, factor, l);
    l->connection = gConnections[s.links.connection - 1];
    if (s.links.route < 0 || s.links.route > routeCount()) {
        l->route = nullptr;
        l->mode = kModeShunting;
    } else {
        l->route = routeAt(s.links.route - 1);
    }
    l->nextStepTime = 0;
    l->holdCountdown = 0;
    l->run.functionBits1 = l->run.functionBits2 = l->run.functionBits3 = 0;
    for (auto* chain : {&s.front, &s.rear})
        for (StoredWagon& w : *chain) {
            fixupPositionRecord(w.installed->front, w.links.front, factor, l);
            fixupPositionRecord(w.installed->rear, w.links.rear, factor, l);
        }
    repairContactRole(*l);
}

void keepOffTrack(StoredLoco& s) {
    for (auto* chain : {&s.front, &s.rear})
        for (StoredWagon& w : *chain) w.installed->front = w.installed->rear = PositionRec{};
}

void placeLooseWagons(std::vector<StoredWagon>& loose, float factor) {
    for (StoredWagon& s : loose) {
        fixupPositionRecord(s.installed->front, s.links.front, factor, nullptr);
        fixupPositionRecord(s.installed->rear, s.links.rear, factor, nullptr);
        markWagonEnd(s.installed->front);
        markWagonEnd(s.installed->rear);
    }
}

// Positions are stored at the zoom of the file; they scale with the zoom value plus one.
float zoomFactor(const LocoFileContent& c) {
    return static_cast<float>(gZoomDigit - 47) / static_cast<float>(c.zoomDigit - 47);
}

// Puts the records of a readable file into the tables; the run state only when it fits the layout.
void installTrains(LocoFileContent& c, bool withRunState) {
    const float factor = zoomFactor(c);
    std::vector<LocoRec*> fileOrder;
    for (StoredLoco& s : c.locos) fileOrder.push_back(s.installed = gLocs.append(std::move(s.rec)));
    sortByAddress(gLocs);
    if (withRunState) installLooseWagons(c.loose);
    for (StoredLoco& s : c.locos) {
        s.installed->frontChain = installChain(s.front, s.installed);
        s.installed->rearChain = installChain(s.rear, s.installed);
    }
    if (!withRunState) installOffTrack(c.loose);
    installOffTrack(c.offTrack);
    relinkWagonChains();
    for (StoredLoco& s : c.locos) {
        if (withRunState && s.links.head.block != 0) putOnTrack(s, factor);
        else keepOffTrack(s);
    }
    if (!withRunState) return;
    placeLooseWagons(c.loose, factor);
    applyRunState(c.run, fileOrder);
}

void recomputeWagonLength(WagonRec& w, int version, float factor, bool zoomChanged) {
    if (version >= 5) {
        w.lengthUnits = static_cast<uint8_t>(std::clamp(fromCentimetres(w.lengthCm) - 6, 0, 255));
        return;
    }
    if (zoomChanged) w.lengthUnits = static_cast<uint8_t>(std::clamp(static_cast<int>((w.lengthUnits + 6) * factor - 6), 0, 255));
    w.lengthCm = static_cast<uint8_t>(std::clamp(toCentimetresRounded(w.lengthUnits + 6), 0, 255));
}

void truncatePoint(PositionRec& p) {
    p.ix = static_cast<int32_t>(p.x);
    p.iy = static_cast<int32_t>(p.y);
}

// Everything that follows from the records once they are in the tables.
void settleTrains(const LocoFileContent& c) {
    updateSpeedFactor();
    for (LocoRec* l : gLocsOnTrack) {
        l->packetCache = std::make_unique<PacketCache>();
        buildLocoTrackPackets(l);
        l->blockCorrections.assign(static_cast<size_t>(2 * gBlockCount), 0);
    }
    for (WagonRec* w : gWagons) recomputeWagonLength(*w, c.version, zoomFactor(c), c.zoomDigit != gZoomDigit);
    for (LocoRec* l : gLocs) {
        if (l->acceleration < 1 || l->acceleration > 10) l->acceleration = 7;
        l->stepDelay = l->effectiveStepDelay = static_cast<int16_t>(calcStepDelay(l, l->acceleration));
        l->maxStep = l->run.speedSteps;
    }
    for (LocoRec* l : gLocsOnTrack) checkTrainLength(l);
    const std::vector<LocoRec*> onTrack(gLocsOnTrack.begin(), gLocsOnTrack.end());
    for (LocoRec* l : onTrack)
        if (isTrainStoppedOnBlock(l, 0) && !placeTrainOnBlock(l, l->run.head.block, 2)) takeLocoOffTrack(l);
    for (WagonRec* w : gWagons) {
        truncatePoint(w->front);
        truncatePoint(w->rear);
    }
    sortByAddress(gLocsOnTrack);
    for (int i = gWagonCounts.loose - 1; i >= 0; --i)
        if (!pickConfirmsVehicleEnd(gWagons[i]->front) || !pickConfirmsVehicleEnd(gWagons[i]->rear)) takeWagonOffTrack(gWagons[i], 0);
    for (int i = gWagonCounts.loose; i < gWagonCounts.coupledEnd; ++i)
        setWagonKind(gWagons[i], gWagons[i]->kind, gWagons[i]->number, 1);
    for (TrackRec* t : gTracks)
        if (t->locoOnIt && gLocsOnTrack.indexOf(gLocs[t->locoOnIt - 1]) < 0) t->locoOnIt = 0;
}

void finishLoad() {
    gActiveRow = 0;
    gPreviousRow = 0;
    loadFunctionDecoderFile();
    rotateLayout(gOrientation, 1);
    redrawSchema(1);
    for (int row = 0; row < kMaxLocsOnTrack; ++row) fillControlPostRow(row);
    gLocoDataModified = 0;
}

}  // namespace

int loadLocoFile(int flag) {
    announceToClients();
    NetworkSilence silence;
    gLocoDataModified = 0;
    forgetAllTrainRecords();
    clearTrainTables();
    std::vector<uint8_t> bytes;
    if (!vestrel::readWholeFile(vestrel::resolvePath(gLocoFileName), bytes)) {
        redrawSchema(1);
        return 0;
    }
    LocoFileContent c = parseLocoFile(bytes, flag);
    if (c.status == LocoFileStatus::BadZoom) {
        redrawSchema(1);
        return 0;
    }
    if (c.status == LocoFileStatus::Damaged) {
        showDialogMessage(damagedFile("De locomotieven moeten opnieuw gemaakt worden."), 1);
    } else {
        if (c.runState == RunStateStatus::Damaged)
            showDialogMessage(damagedFile("De treinen werden van het spoor genomen."), 1);
        installTrains(c, c.runState == RunStateStatus::Ok && !flag);
        settleTrains(c);
    }
    const bool varsRead = c.status == LocoFileStatus::Ok && c.runState == RunStateStatus::Ok;
    for (int i = 0; i < kFormulaVars; ++i) gFormulaVars[i] = varsRead ? c.run.formulaVars[static_cast<size_t>(i)] : 0.0f;
    finishLoad();
    return 1;
}
