#include "layout_builder.h"

#include <cmath>
#include <memory>

#include <cstring>
#include <stdexcept>
#include <string>

#include "layout/model/block_geometry.h"
#include "layout/model/geometry.h"
#include "steps/model/step_program.h"
#include "layout/model/scale.h"
#include "operation/model/train_model.h"
#include "operation/model/vehicle_positions.h"
#include "steps/model/step_codes.h"
#include "steps/model/step_program.h"

namespace {

int segmentAngle(DiagramPoint a, DiagramPoint b) { return angleOfSegment(a.x, a.y, b.x, b.y); }

template <class Rec, int N>
Rec* lastOf(RecordTable<Rec, N>& table) {
    return table[table.count() - 1];
}

}  // namespace

LayoutBuilder::LayoutBuilder() {
    gStepPrograms.clear();
    gSteps.clear();
    gFormulas.clear();
    gConnections.clear();
    gTurntables.clear();
    gInputs.clear();
    gOutputs.clear();
    gSignals.clear();
    gTurnouts.clear();
    gBlocks.clear();
    gTracks.clear();
}

LayoutBuilder& LayoutBuilder::block(int number, std::initializer_list<DiagramPoint> points) {
    auto b = std::make_unique<BlockRec>();
    b->number = static_cast<int16_t>(number);
    b->allowedTrains = 0x8F;
    b->allowedDirection = 'B';
    b->speed = 100;
    b->hAspect = b->tAspect = 'G';
    int n = 0;
    for (DiagramPoint p : points) b->points[n++] = p;
    b->sections = n - 1;
    for (int s = 0; s < b->sections; ++s) b->sectionAngles[s] = segmentAngle(b->points[s], b->points[s + 1]);
    b->sectionKinds[0] = 1;
    b->sectionKinds[b->sections - 1] = 6;
    computeBlockGeometry(*b);
    gBlocks.append(std::move(b));
    last_ = 'b';
    return *this;
}

LayoutBuilder& LayoutBuilder::kinds(std::initializer_list<int> kinds) {
    BlockRec* b = lastOf(gBlocks);
    int s = 0;
    for (int k : kinds) b->sectionKinds[s++] = static_cast<uint8_t>(k);
    return *this;
}

LayoutBuilder& LayoutBuilder::inputs(std::initializer_list<int> inputs) {
    BlockRec* b = lastOf(gBlocks);
    int s = 1;
    for (int i : inputs) b->sectionInputs[s++] = static_cast<int16_t>(i);
    return *this;
}

LayoutBuilder& LayoutBuilder::track(std::initializer_list<DiagramPoint> points) {
    auto t = std::make_unique<TrackRec>();
    int n = 0;
    for (DiagramPoint p : points) t->points[n++] = p;
    t->segments = n - 1;
    for (int s = 0; s < t->segments; ++s) t->segmentAngles[s] = segmentAngle(t->points[s], t->points[s + 1]);
    gTracks.append(std::move(t));
    last_ = 'v';
    return *this;
}

LayoutBuilder& LayoutBuilder::loop() {
    if (last_ == 'b') lastOf(gBlocks)->flags |= 1;
    if (last_ == 'v') lastOf(gTracks)->flags |= 1;
    return *this;
}

LayoutBuilder& LayoutBuilder::turnout(char subtype, int number, std::initializer_list<DiagramPoint> legs) {
    auto t = std::make_unique<TurnoutRec>();
    t->subtype = subtype;
    t->number = static_cast<int16_t>(subtype == 'x' ? 0 : number);
    t->position = 'G';
    t->pulseTime = 2;
    int n = 0;
    for (DiagramPoint p : legs) t->legs[n++] = p;
    t->centre = {(t->legs[0].x + t->legs[1].x) / 2, (t->legs[0].y + t->legs[1].y) / 2};
    t->angle = -segmentAngle(t->legs[0], t->legs[1]);
    gTurnouts.append(std::move(t));
    return *this;
}

LayoutBuilder& LayoutBuilder::signal(int number, int blockNumber, char direction, DiagramPoint anchor) {
    auto s = std::make_unique<SignalRec>();
    s->number = static_cast<int16_t>(number);
    s->block = blockNumber ? blockNumbered(blockNumber) : nullptr;
    s->outline[0] = anchor;
    if (anchor.x != 0 || anchor.y != 0) s->outline[1] = {anchor.x + 10, anchor.y};
    s->direction = direction;
    s->aspect = 'G';
    s->pulseTime = 2;
    gSignals.append(std::move(s));
    return *this;
}

LayoutBuilder& LayoutBuilder::connection(int from, int to, char direction,
                                         std::initializer_list<std::pair<int, char>> turnouts, bool loop) {
    auto c = std::make_unique<ConnectionRec>();
    c->from = blockNumbered(from);
    c->to = blockNumbered(to);
    c->direction = direction;
    c->loop = loop ? 1 : 0;
    int k = 0;
    for (const auto& [number, position] : turnouts) {
        c->turnouts[k] = turnoutNumbered(number);
        c->positions[k++] = position;
    }
    gConnections.append(std::move(c));
    return *this;
}

LayoutBuilder& LayoutBuilder::orange(int number) {
    lastOf(gSignals)->orangeNumber = static_cast<int16_t>(number);
    return *this;
}

LayoutBuilder& LayoutBuilder::output(int key, DiagramPoint anchor) {
    auto o = std::make_unique<OutputRec>();
    o->key = static_cast<int16_t>(key);
    o->pulseTime = 2;
    o->outline[0] = anchor;
    o->outline[1] = {anchor.x + 10, anchor.y};
    o->outline[2] = {anchor.x + 10, anchor.y + 10};
    o->outline[3] = {anchor.x, anchor.y + 10};
    gOutputs.append(std::move(o));
    return *this;
}

LayoutBuilder& LayoutBuilder::output(int address, char button, DiagramPoint anchor) {
    output(address * 2 + (button == 'G' ? 1 : 0), anchor);
    lastOf(gOutputs)->state = 'G';
    return *this;
}

LayoutBuilder& LayoutBuilder::input(int number, DiagramPoint anchor) {
    auto i = std::make_unique<InputRec>();
    i->number = static_cast<int16_t>(number);
    layoutInput(*i, anchor);
    gInputs.append(std::move(i));
    return *this;
}

LayoutBuilder& LayoutBuilder::stepBox(const char* name, int left, int top, int right, int bottom) {
    auto p = std::make_unique<StepProgramRec>();
    p->name = name;
    p->box.left = left;
    p->box.top = top;
    p->box.right = right;
    p->box.bottom = bottom;
    gStepPrograms.append(std::move(p));
    return *this;
}

LayoutBuilder& LayoutBuilder::turntable(int number, DiagramPoint a, DiagramPoint b, int positions) {
    track({a, b});
    TrackRec* bridge = lastOf(gTracks);
    bridge->flags |= 2;
    auto t = std::make_unique<TurntableRec>();
    t->number = static_cast<int16_t>(number);
    t->positions = static_cast<uint8_t>(positions);
    t->currentPosition = t->secondPosition = 1;
    t->bridgeSpeed = 50;
    t->pulseTime = 2;
    t->track = bridge;
    TurntableRec* stored = gTurntables.append(std::move(t));
    layoutTurntable(*stored, &bridge->points[0], &bridge->points[1]);
    last_ = 0;
    return *this;
}

LayoutBuilder& LayoutBuilder::measureBlocks() {
    for (BlockRec* b : gBlocks)
        for (int s = 0; s < b->sections; ++s)
            b->sectionLengths[s] = static_cast<float>(std::hypot(b->points[s + 1].x - b->points[s].x,
                                                                 b->points[s + 1].y - b->points[s].y));
    return *this;
}

LocoRec* putLocoOnBlock(int number, int blockNumber, int section, DiagramPoint at, bool towardLast, char heading) {
    BlockRec* b = blockNumbered(blockNumber);
    if (!b) return nullptr;
    auto rec = std::make_unique<LocoRec>();
    rec->number = static_cast<int16_t>(number);
    rec->running = 1;
    rec->mode = kModeManual;
    rec->heading = heading;
    rec->direction = 'v';
    rec->decoderType = 4;
    rec->run.speedSteps = 28;
    rec->maxStep = 28;
    rec->stepDelay = rec->effectiveStepDelay = 200;
    rec->contactRole = heading == 'H' ? 6 : 1;
    for (int i = 0; i < kSpeedTableSize; ++i) rec->speedTable[i] = static_cast<uint8_t>(i);
    PositionRec& h = rec->run.head;
    h.block = b;
    h.x = static_cast<float>(at.x);
    h.y = static_cast<float>(at.y);
    h.ix = at.x;
    h.iy = at.y;
    h.sectionA = towardLast ? section : section + 1;
    h.sectionB = towardLast ? section + 1 : section;
    updateVehiclePosition(h);
    LocoRec* l = gLocs.append(std::move(rec));
    gLocsOnTrack.append(l);
    l->blockCorrections.assign(2 * static_cast<size_t>(gBlockCount), 0);
    l->packetCache = std::make_unique<PacketCache>();
    if (!b->assignedTrain) b->assignedTrain = l;
    return l;
}

void hangWagons(LocoRec* loco, int n, int lengthUnits) {
    const PositionRec& head = loco->run.head;
    const float ux = head.dx * gSpeedFactor, uy = head.dy * gSpeedFactor;
    float back = gHalfUnit20cm;
    WagonRec* previous = nullptr;
    for (int i = 0; i < n; ++i) {
        auto rec = std::make_unique<WagonRec>();
        rec->number = 100 + i;
        rec->lengthUnits = static_cast<uint8_t>(lengthUnits);
        rec->front = head;
        if (head.track || head.turnout) rec->front.block = nullptr;  // only the head keeps its block there
        rec->front.x = head.x - back * ux;
        rec->front.y = head.y - back * uy;
        back += lengthUnits;
        rec->rear = rec->front;
        rec->rear.x = head.x - back * ux;
        rec->rear.y = head.y - back * uy;
        back += 6;
        for (PositionRec* p : {&rec->front, &rec->rear}) {
            p->ix = static_cast<int32_t>(p->x);
            p->iy = static_cast<int32_t>(p->y);
        }
        WagonRec* w = gWagons.append(std::move(rec));
        w->owner = loco;
        w->previous = previous;
        if (previous) previous->next = w;
        else loco->frontChain = w;
        previous = w;
    }
    relinkWagonChains();
}

WagonRec* coupleTestWagon(LocoRec* loco, bool rear, int lengthUnits, char kind) {
    auto rec = std::make_unique<WagonRec>();
    rec->number = 200 + gWagonTotal;
    rec->lengthUnits = static_cast<uint8_t>(lengthUnits);
    rec->kind = kind;
    WagonRec* w = gWagons.append(std::move(rec));
    w->owner = loco;
    WagonRec*& first = rear ? loco->rearChain : loco->frontChain;
    if (rear) {
        w->next = first;  // the rear chain starts at its outermost wagon
        first = w;
    } else {
        WagonRec* last = first;
        while (last && last->next) last = last->next;
        (last ? last->next : first) = w;
    }
    relinkWagonChains();
    return w;
}

void clearTestTrains() { clearTrainTables(); }

BlockRec* blockNumbered(int number) {
    for (BlockRec* b : gBlocks)
        if (b->number == number) return b;
    return nullptr;
}

TurnoutRec* turnoutNumbered(int number) {
    for (TurnoutRec* t : gTurnouts)
        if (t->number == number) return t;
    return nullptr;
}

SignalRec* signalNumbered(int number) {
    for (SignalRec* s : gSignals)
        if (s->number == number) return s;
    return nullptr;
}

std::string describeConnection(const ConnectionRec* c) {
    std::string text = std::to_string(c->from ? c->from->number : 0) + " " +
                       std::to_string(c->to ? c->to->number : 0) + " " + std::string(1, c->direction);
    if (c->loop) text += " loop";
    for (int k = 0; k < kConnectionTurnouts && c->turnouts[k]; ++k)
        text += " " + std::to_string(c->turnouts[k]->number) + c->positions[k];
    return text;
}

std::string describeSections(const BlockRec* b) {
    std::string kinds = "kinds", inputs = " inputs";
    for (int s = 1; s <= b->sections && s <= kMaxSections; ++s) {
        kinds += " " + std::to_string(b->sectionKinds[s - 1]);
        inputs += " " + std::to_string(b->sectionInputs[s]);
    }
    return kinds + inputs;
}

std::vector<std::string> describeConnections() {
    std::vector<std::string> all;
    for (const ConnectionRec* c : gConnections) all.push_back(describeConnection(c));
    return all;
}

void buildStationRing(LayoutBuilder& builder, int stations) {
    const int y = 100, loopY = 110;
    for (int s = 0; s < stations; ++s) {
        int x = 100 + 100 * s;
        builder.turnout('l', 2 * s + 1, {{x, y}, {x + 10, y}, {x + 10, loopY}})
            .block(3 * s + 1, {{x + 10, y}, {x + 40, y}, {x + 70, y}})
            .block(3 * s + 2, {{x + 10, loopY}, {x + 40, loopY}, {x + 70, loopY}})
            .turnout('r', 2 * s + 2, {{x + 80, y}, {x + 70, y}, {x + 70, loopY}})
            .block(3 * s + 3, {{x + 80, y}, {x + 87, y}, {x + 94, y}});
        if (s + 1 < stations)
            builder.track({{x + 94, y}, {x + 100, y}});
        else
            builder.track({{x + 94, y}, {x + 94, 300}, {100, 300}, {100, y}});
    }
}

namespace {
template <int N>
int codeOf(const StepCodeInfo (&table)[N], const char* label) {
    for (int c = 0; c < N; ++c)
        if (std::strcmp(table[c].label, label) == 0) return c;
    throw std::invalid_argument(std::string("no step code labelled ") + label);
}
}  // namespace

int conditionCode(const char* label) { return codeOf(kConditionTable, label); }
int actionCode(const char* label) { return codeOf(kActionTable, label); }

LayoutBuilder& LayoutBuilder::stepProgram(const std::string& name, std::initializer_list<Step> steps, DiagramPoint box) {
    auto p = std::make_unique<StepProgramRec>();
    p->name = name;
    p->number = static_cast<uint8_t>(gStepProgramCount);
    p->firstStep = static_cast<int16_t>(gStepCount);
    p->stepCount = static_cast<uint8_t>(steps.size());
    p->box = {box.x, box.y, box.x + 60, box.y + 26};
    for (const Step& st : steps) {
        auto s = std::make_unique<StepRec>();
        s->conditionCode = static_cast<uint8_t>(conditionCode(st.condition));
        s->conditionValue = static_cast<int16_t>(st.conditionValue);
        s->actionCode = static_cast<uint8_t>(actionCode(st.action));
        s->actionValue = static_cast<int16_t>(st.actionValue);
        s->time = static_cast<int16_t>(st.time);
        gSteps.append(std::move(s));
    }
    gStepPrograms.append(std::move(p));
    return *this;
}
