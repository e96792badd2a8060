#include "network/sync/client_tables.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "layout/editor/layout_move.h"
#include "layout/frame/render.h"
#include "layout/files/layout_file.h"
#include "layout/model/block_geometry.h"
#include "layout/model/geometry.h"
#include "layout/model/layout_codec.h"
#include "layout/model/scale.h"
#include "network/model/net_queue.h"
#include "network/model/net_record_lengths.h"
#include "network/model/net_records.h"
#include "network/model/net_state.h"
#include "operation/control/loco_operation.h"
#include "operation/model/function_decoder_codec.h"
#include "operation/model/loco_file_format.h"
#include "operation/model/route_codec.h"
#include "operation/model/route_file.h"
#include "operation/model/train_codec.h"
#include "operation/model/train_model.h"
#include "operation/model/vehicle_positions.h"
#include "platform/byte_io.h"
#include "shell/config/config_file.h"
#include "shell/model/app_state.h"
#include "shell/window/main_window.h"
#include "steps/model/step_codec.h"
#include "steps/model/step_codes.h"
#include "steps/model/step_program.h"

namespace {

// The links of the copy's locomotives and wagons, 1-based as received, until netRelinkSnapshot.
struct PendingLoco {
    uint32_t frontChain = 0, rearChain = 0;
};
struct PendingWagon {
    uint32_t next = 0, previous = 0, owner = 0;
};
PendingLoco gPendingLocos[kMaxLocs];
PendingWagon gPendingWagons[kMaxWagons];
int gSpeedTablesReceived = 0;

// The cached turn from the server's coordinates into the client's.
bool gTurnCached = false;
QuarterTurn gCachedTurn;

bool turned() { return gNetLinkState == 40 && gServerOrientation != gCoordOrientation; }

const QuarterTurn& serverTurn() {
    if (!gTurnCached) {
        gCachedTurn = rotationOffsetsBack(gServerOrientation);
        gPeerTurnAngle = gCachedTurn.angle;
        gTurnCached = true;
    }
    return gCachedTurn;
}

// A received position held as the locomotive-file loader holds a stored one: coordinates and
// direction that are numbers inside the range of the whole-pixel copies (2147483520, the largest float
// below 2^31), so that no drawing of it can leave the int range.
void holdReceivedPosition(PositionRec& p) {
    constexpr int32_t kWholeLimit = 2147483520;
    for (float* v : {&p.x, &p.y, &p.dx, &p.dy}) *v = std::isfinite(*v) ? usableCoordinate(*v) : 0.0f;
    p.ix = std::clamp(p.ix, -kWholeLimit, kWholeLimit);
    p.iy = std::clamp(p.iy, -kWholeLimit, kWholeLimit);
}

int32_t shiftX() { return gLayoutOffset.x - gServerLayoutOffset.x; }
int32_t shiftY() { return gLayoutOffset.y - gServerLayoutOffset.y; }

template <class T, class Table>
T* linkOf(Table& table, int32_t oneBased) {
    return (oneBased >= 1 && oneBased <= table.count()) ? table[oneBased - 1] : nullptr;
}

void resolvePosition(PositionRec& p, const PositionLinks& l) {
    p.block = linkOf<BlockRec>(gBlocks, l.block);
    p.track = linkOf<TrackRec>(gTracks, l.track);
    p.turnout = linkOf<TurnoutRec>(gTurnouts, l.turnout);
}

template <class Rec, class Table>
Rec* appendRecord(Table& table, std::unique_ptr<Rec> rec) {
    return table.append(std::move(rec));
}

// Each reader decodes the image, repairs it and appends it to its table. The table has room.
void readTrack(vestrel::ByteReader& r) {
    auto t = std::make_unique<TrackRec>();
    decodeTrack(r, *t);
    t->locoOnIt = 0;
    t->vehicleFlags = 0;
    // Counts index the record's own arrays everywhere, and a layout saved with one outside its range
    // could not be opened again: held within it, as the index alignment with the server must stay.
    t->segments = std::clamp(t->segments, 1, 3);
    netPointsToClientView(t->points, t->segments);
    gTracks.append(std::move(t));
}

void readBlock(vestrel::ByteReader& r) {
    auto b = std::make_unique<BlockRec>();
    decodeBlock(r, *b);
    b->arrivedTrain = nullptr;
    b->assignedTrain = nullptr;
    b->sections = std::clamp(b->sections, 1, kMaxSections);
    keepBlockSettingsInRange(*b);
    netPointsToClientView(b->points, b->sections);
    gBlocks.append(std::move(b));
}

void readTurnout(vestrel::ByteReader& r) {
    auto t = std::make_unique<TurnoutRec>();
    decodeTurnout(r, *t);
    t->holder = nullptr;
    netPointsToClientView(t->legs, lastTurnoutLeg(*t));
    netPointsToClientView(&t->centre, 0);
    if (t->partner > gTurnoutCount + 1) t->partner = 0;
    gTurnouts.append(std::move(t));
}

void readSignal(vestrel::ByteReader& r) {
    auto s = std::make_unique<SignalRec>();
    int32_t block = 0;
    decodeSignal(r, *s, block);
    s->block = (block >= 0 && block < gBlockCount) ? gBlocks[block] : nullptr;
    netPointsToClientView(s->outline, 3);
    gSignals.append(std::move(s));
}

void readOutput(vestrel::ByteReader& r) {
    auto o = std::make_unique<OutputRec>();
    decodeOutput(r, *o);
    netPointsToClientView(o->outline, 3);
    gOutputs.append(std::move(o));
}

void readInput(vestrel::ByteReader& r) {
    auto i = std::make_unique<InputRec>();
    decodeInput(r, *i);
    netPointsToClientView(&i->anchor, 0);
    netPointsToClientView(&i->secondPoint, 0);
    gInputs.append(std::move(i));
}

void readTurntable(vestrel::ByteReader& r) {
    auto t = std::make_unique<TurntableRec>();
    int32_t track = 0;
    decodeTurntable(r, *t, track);
    t->track = (track >= 0 && track < gTrackCount) ? gTracks[track] : nullptr;
    t->loco = nullptr;
    if (t->positions > kTurntablePositions) t->positions = kTurntablePositions;
    keepTurntableCentreInRange(*t);
    DiagramPoint c{truncatedInt(t->centre[0]), truncatedInt(t->centre[1])};
    const DiagramPoint before = c;
    netPointsToClientView(&c, 0);
    // The shift as the points took it; in 64 bits, as a far centre's may wrap.
    t->centre[0] += static_cast<float>(int64_t{c.x} - before.x);
    t->centre[1] += static_cast<float>(int64_t{c.y} - before.y);
    TurntableRec* stored = gTurntables.append(std::move(t));
    if (stored && stored->track) layoutTurntable(*stored, nullptr, nullptr);
}

void readConnection(vestrel::ByteReader& r) {
    auto c = std::make_unique<ConnectionRec>();
    ConnectionLinks links;
    decodeConnection(r, *c, links);
    c->from = (links.from >= 0 && links.from < gBlockCount) ? gBlocks[links.from] : nullptr;
    c->to = (links.to >= 0 && links.to < gBlockCount) ? gBlocks[links.to] : nullptr;
    bool ended = false;
    for (int k = 0; k < kConnectionTurnouts; ++k) {
        if (links.turnouts[k] == 0) ended = true;
        c->turnouts[k] = ended ? nullptr : linkOf<TurnoutRec>(gTurnouts, links.turnouts[k]);
    }
    gConnections.append(std::move(c));
}

void readLoco(vestrel::ByteReader& r) {
    auto l = std::make_unique<LocoRec>();
    LocoLinks links;
    decodeLoco(r, *l, links);
    // The locomotive file refuses other step counts: the client would write a file it cannot read.
    if (!validLocoSpeedSteps(l->run.speedSteps)) l->run.speedSteps = 28;
    l->connection = nullptr;
    l->route = linkOf<RouteRec>(gRoutes, links.route);
    resolvePosition(l->run.head, links.head);
    l->packetCache.reset();
    l->blockCorrections.clear();
    l->helperWagon = nullptr;
    l->frontChain = nullptr;
    l->rearChain = nullptr;
    l->nextStepTime = 0;
    l->run.distanceCounter = 0;
    l->run.runFlagsA &= static_cast<uint8_t>(~0x03);
    netPositionToClientView(l->run.head);
    const int index = gLocCount;
    gPendingLocos[index] = {links.frontChain, links.rearChain};
    gLocs.append(std::move(l));
}

void readSpeedTable(vestrel::ByteReader& r) {
    LocoRec* loco = gLocs[gSpeedTablesReceived];
    uint8_t table[kSpeedTableSize];
    r.bytes(table, sizeof table);
    if (!loco) return;  // more tables than locomotives: nothing to give it to
    std::memcpy(loco->speedTable.data(), table, sizeof table);
    ++gSpeedTablesReceived;
}

void readWagon(vestrel::ByteReader& r) {
    auto w = std::make_unique<WagonRec>();
    WagonLinks links;
    decodeWagon(r, *w, links);
    resolvePosition(w->front, links.front);
    resolvePosition(w->rear, links.rear);
    netPositionToClientView(w->front);
    netPositionToClientView(w->rear);
    w->next = w->previous = nullptr;
    w->owner = nullptr;
    gPendingWagons[gWagonTotal] = {links.next, links.previous, links.owner};
    gWagons.append(std::move(w));
}

void readFunctionDecoder(vestrel::ByteReader& r) {
    auto d = std::make_unique<FunctionDecoderRec>();
    int32_t loco = 0;
    decodeFunctionDecoder(r, *d, loco);
    d->loco = linkOf<LocoRec>(gLocs, loco);
    gFunctionDecoders.append(std::move(d));
}

// Whether the table of the code can take one more record (false for an unknown code).
bool tableHasRoom(int code) {
    switch (code) {
    case 4: return !gTracks.full();
    case 5: return !gBlocks.full();
    case 6: return !gTurnouts.full();
    case 7: return !gSignals.full();
    case 8: return !gOutputs.full();
    case 9: return !gInputs.full();
    case 10: return !gTurntables.full();
    case 11: return !gConnections.full();
    case 12: return !gRoutes.full();
    case 13: return !gRouteLines.full();
    case 14: return !gStepPrograms.full();
    case 15: return !gSteps.full();
    case 16: return !gFormulas.full();
    case 2: return !gLocs.full();
    case 38: return gSpeedTablesReceived < gLocCount;
    case 3: return !gWagons.full();
    case 35: return !gFunctionDecoders.full();
    default: return false;
    }
}

void readImage(int code, vestrel::ByteReader& r) {
    switch (code) {
    case 4: readTrack(r); break;
    case 5: readBlock(r); break;
    case 6: readTurnout(r); break;
    case 7: readSignal(r); break;
    case 8: readOutput(r); break;
    case 9: readInput(r); break;
    case 10: readTurntable(r); break;
    case 11: readConnection(r); break;
    case 12: gRoutes.append(std::make_unique<RouteRec>(readRouteRec(r))); break;
    case 13: gRouteLines.append(std::make_unique<RouteLineRec>(readRouteLineRec(r))); break;
    case 14: {
        auto p = std::make_unique<StepProgramRec>();
        decodeStepProgram(r, *p);
        gStepPrograms.append(std::move(p));
        break;
    }
    case 15: {
        auto s = std::make_unique<StepRec>();
        decodeStep(r, *s);
        // Codes index the code tables: one the program does not know does nothing.
        if (s->conditionCode >= kConditionCodes) s->conditionCode = 0;
        if (s->actionCode >= kActionCodes) s->actionCode = 0;
        gSteps.append(std::move(s));
        break;
    }
    case 16: {
        auto f = std::make_unique<FormulaRec>();
        decodeFormula(r, *f);
        for (uint8_t& type : f->types)
            if (type > kMaxFormulaOperandType) type = 0;
        if (f->comparison > kMaxFormulaComparison) f->comparison = 0;
        if (f->operation > kMaxFormulaOperation) f->operation = 0;
        gFormulas.append(std::move(f));
        break;
    }
    case 2: readLoco(r); break;
    case 38: readSpeedTable(r); break;
    case 3: readWagon(r); break;
    case 35: readFunctionDecoder(r); break;
    default: break;
    }
}

// Compared unsigned: a received slot of 2^31 or more is no negative index.
WagonRec* wagonAtSlot(uint32_t oneBased) {
    return (oneBased >= 1 && oneBased <= static_cast<uint32_t>(gWagonTotal)) ? gWagons[static_cast<int>(oneBased) - 1]
                                                                              : nullptr;
}

}  // namespace

float gNetServerSpeedFactor = 0;

void netDirectionToClientSpeed(PositionRec& p) {
    if (gNetServerSpeedFactor == 0 || gSpeedFactor == 0) return;
    const float ratio = gNetServerSpeedFactor / gSpeedFactor;
    p.dx *= ratio;
    p.dy *= ratio;
    holdReceivedPosition(p);  // the server's speed factor is as it sent it
}

void netResetCopyReception() {
    gSpeedTablesReceived = 0;
    for (auto& p : gPendingLocos) p = {};
    for (auto& p : gPendingWagons) p = {};
    gTurnCached = false;
}

void netSetServerOffset(int32_t x, int32_t y) {
    gServerLayoutOffset = {x, y};
    gTurnCached = false;
}

void netSetServerOrientation(int orientation) {
    gServerOrientation = static_cast<uint8_t>(orientation & 3);
    gTurnCached = false;
}

void netPointsToClientView(DiagramPoint* points, int last) {
    if (turned()) {
        rotatePoints(points, last, serverTurn());
        return;
    }
    // Modulo 2^32, as every move of the layout: a far point from a peer must not overflow.
    for (int k = 0; k <= last; ++k) {
        points[k].x = static_cast<int32_t>(static_cast<uint32_t>(points[k].x) + static_cast<uint32_t>(shiftX()));
        points[k].y = static_cast<int32_t>(static_cast<uint32_t>(points[k].y) + static_cast<uint32_t>(shiftY()));
    }
}

void netPositionToClientView(PositionRec& p) {
    holdReceivedPosition(p);
    if (turned()) {
        const QuarterTurn& t = serverTurn();
        rotateVehiclePosition(p, t.angle, t.dx, t.dy);
    } else {
        p.x += static_cast<float>(shiftX());
        p.y += static_cast<float>(shiftY());
        p.ix = static_cast<int32_t>(static_cast<uint32_t>(p.ix) + static_cast<uint32_t>(shiftX()));
        p.iy = static_cast<int32_t>(static_cast<uint32_t>(p.iy) + static_cast<uint32_t>(shiftY()));
    }
    // The turn and the shift can carry a point held at the edge of the range beyond it.
    holdReceivedPosition(p);
}

int netClientReadTable(int pos, int count) {
    if (count < kNetTableHeaderSize) return -1;
    const int code = gNetInBuffer[pos + 1];
    const int length = netTableRecordLength(code);
    if (length == 0) return 0;
    if (count < length) return -1;
    // A record beyond its table's capacity is passed over whole, so the records behind it still fit.
    // Tables come only with the full copy: once synchronised, the client's tables stand as the copy
    // left them, index for index with the server's.
    if (!tableHasRoom(code) || gNetLinkState == 40) return length;
    vestrel::ByteReader r(gNetInBuffer + pos + kNetTableHeaderSize, static_cast<size_t>(length - kNetTableHeaderSize));
    readImage(code, r);
    return length;
}

void netRelinkSnapshot() {
    gLocsOnTrack.clear();
    int coupledEnd = 0, loose = 0;
    for (int i = 0; i < gWagonTotal; ++i) {
        WagonRec* w = gWagons[i];
        const PendingWagon& p = gPendingWagons[i];
        w->next = wagonAtSlot(p.next);
        w->previous = wagonAtSlot(p.previous);
        w->owner = linkOf<LocoRec>(gLocs, static_cast<int32_t>(p.owner));
        if (w->owner) coupledEnd = i + 1;
        else if (onTrack(w->front) || onTrack(w->rear)) loose = i + 1;
    }
    gWagonCounts.loose = loose;
    gWagonCounts.coupledEnd = coupledEnd < loose ? loose : coupledEnd;
    for (int i = 0; i < gLocCount; ++i) {
        LocoRec* l = gLocs[i];
        l->frontChain = wagonAtSlot(gPendingLocos[i].frontChain);
        l->rearChain = wagonAtSlot(gPendingLocos[i].rearChain);
        if (l->run.head.block && !gLocsOnTrack.full()) gLocsOnTrack.append(l);
    }
    // A program's steps must lie within the step table, which arrives after the programs.
    for (StepProgramRec* p : gStepPrograms)
        if (p->firstStep < 0 || p->firstStep + p->stepCount > gStepCount) {
            p->firstStep = 0;
            p->stepCount = 0;
        }
    // A route's lines must lie within the line table, each in one route only, as the route file has
    // them; a route that breaks this keeps its place (records name routes by index) without lines.
    std::vector<int> ownerOfLine(static_cast<size_t>(gRouteLineCount), -1);
    for (int i = 0; i < gRouteCount; ++i) {
        RouteRec* r = gRoutes[i];
        if (!claimRouteLines(*r, i, ownerOfLine)) r->firstLine = r->endLine = 0;
    }
    // A chain that loops back on itself is cut where it returns, so that every walk along it ends.
    for (WagonRec* w : gWagons) {
        int n = 0;
        for (WagonRec* v = w; v && v->next; v = v->next)
            if (++n >= gWagonTotal) {
                v->next = nullptr;
                break;
            }
    }
}

void netClientEndOfCopy(const uint8_t* rec) {
    vestrel::ByteReader r(rec + 2, static_cast<size_t>(kNetEndRecordSize - 2));
    gNetLinkState = 40;
    gLayoutFileName = readFixedText(r, 26);
    gLocoFileName = readFixedText(r, 26);
    const int width = r.i16();
    const int height = r.i16();
    if (width > 0 && height > 0) gCanvasSize = drawableCanvasSize(width, height + 23);
    gRunWithoutTrack = 1;
    syncConfigFile();
    setScaleParameters(gZoomDigit, gScaleDigit, gTurnoutSizeMode);
    // A fresh client's window grows to the server's canvas: new images of several megabytes, made
    // before anything is drawn into them, but not in this read.
    scheduleMainWindowSizing();
    netRelinkSnapshot();
    for (BlockRec* b : gBlocks) computeBlockGeometry(*b);
    // The copy arrived in the server's orientation; the client shows its own.
    gCoordOrientation = gServerOrientation;
    rotateLayout(gOrientation, 3);
    // The turn can carry a position held at the edge of the range beyond it.
    for (LocoRec* l : gLocs) holdReceivedPosition(l->run.head);
    for (WagonRec* w : gWagons) {
        holdReceivedPosition(w->front);
        holdReceivedPosition(w->rear);
    }
    gTurnCached = false;
    // The whole diagram is drawn again by the next tick, or sooner where something reads it: drawn here
    // it would make this read as long as a full redraw.
    scheduleFullRedraw();
    // Every row, the empty ones blank as on the server.
    for (int row = 0; row < kMaxLocsOnTrack; ++row) fillControlPostRow(row);
    gActiveRow = 0;
    // Before the redraw (scheduled above) draws the direction dots.
    for (LocoRec* l : gLocsOnTrack) {
        netDirectionToClientSpeed(l->run.head);
        for (WagonRec* first : {l->frontChain, l->rearChain}) {
            int n = 0;
            for (WagonRec* w = first; w && n < kMaxWagons; w = w->next, ++n) {
                netDirectionToClientSpeed(w->front);
                netDirectionToClientSpeed(w->rear);
            }
        }
    }
}
