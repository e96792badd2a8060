#pragma once
// 20 trains of 10 wagons standing in the first 20 blocks of the full layout, heads 300 units into
// their blocks and running at step 1, for the benchmarks of the running cycle.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "full_layout.h"
#include "layout/model/scale.h"
#include "link/buffers/feedback.h"
#include "link/buffers/link_buffers.h"
#include "operation/model/train_model.h"
#include "operation/model/vehicle_positions.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"

namespace benchtrains {

constexpr int kTrains = 20;
constexpr int kWagons = 10;
constexpr int kWagonUnits = 20;
constexpr float kHeadStart = 300;  // units from the block's first point
constexpr int kCyclesPerRun = 25;  // 2 units per cycle: the heads stay inside their blocks

// The point at `along` units from the block's first point, on the section it lies in, travelling toward
// the block's last point.
inline void placeOnBlock(PositionRec& p, BlockRec* b, float along) {
    int k = 0;
    while (k < b->sections - 1 && along > b->sectionLengths[k]) along -= b->sectionLengths[k++];
    const DiagramPoint a = b->points[k], e = b->points[k + 1];
    const float f = along / b->sectionLengths[k];
    p = PositionRec{};
    p.block = b;
    p.sectionA = k;
    p.sectionB = k + 1;
    p.x = a.x + f * (e.x - a.x);
    p.y = a.y + f * (e.y - a.y);
    p.ix = static_cast<int32_t>(p.x);
    p.iy = static_cast<int32_t>(p.y);
    updateVehiclePosition(p);
}

inline void placeTrain(LocoRec* l) {
    BlockRec* b = l->run.head.block;
    placeOnBlock(l->run.head, b, kHeadStart);
    float along = kHeadStart - gHalfUnit20cm;
    for (WagonRec* w = l->frontChain; w; w = w->next) {
        placeOnBlock(w->front, b, along);
        along -= kWagonUnits;
        placeOnBlock(w->rear, b, along);
        along -= 6;
    }
    l->run.runFlagsA = 0;
}

inline void buildTrains() {
    for (int i = 0; i < kTrains; ++i) {
        BlockRec* b = gBlocks[i];
        auto rec = std::make_unique<LocoRec>();
        rec->number = static_cast<int16_t>(i + 1);
        rec->running = 1;
        rec->mode = kModeManual;
        rec->run.speedSteps = 28;
        rec->maxStep = 28;
        rec->stepDelay = rec->effectiveStepDelay = 200;
        for (int k = 0; k < kSpeedTableSize; ++k) rec->speedTable[k] = static_cast<uint8_t>(k);
        rec->speedTable[126 / 28] = 2;
        rec->targetStep = rec->currentStep = 1;
        rec->speedValue = 2;
        rec->run.head.block = b;
        LocoRec* l = gLocs.append(std::move(rec));
        gLocsOnTrack.append(l);
        l->blockCorrections.assign(2 * static_cast<size_t>(gBlockCount), 0);
        b->assignedTrain = l;
        WagonRec* previous = nullptr;
        for (int w = 0; w < kWagons; ++w) {
            auto wr = std::make_unique<WagonRec>();
            wr->lengthUnits = kWagonUnits;
            WagonRec* wagon = gWagons.append(std::move(wr));
            wagon->owner = l;
            (previous ? previous->next : l->frontChain) = wagon;
            previous = wagon;
        }
        placeTrain(l);
    }
    relinkWagonChains();
}

inline void prepareLayout(std::vector<StepProgramRec>& boxes) {
    fulllayout::buildFullLayout(boxes);
    for (int bi = 0; bi < gBlockCount; ++bi) {
        BlockRec* b = gBlocks[bi];
        for (int s = 0; s < b->sections; ++s) {
            b->sectionLengths[s] = static_cast<float>(std::hypot(b->points[s + 1].x - b->points[s].x,
                                                                 b->points[s + 1].y - b->points[s].y));
            b->sectionInputs[s + 1] = static_cast<int16_t>(bi < 33 ? bi * 15 + s + 1 : 0);
        }
    }
    gSpeedFactor = 1;
    gHalfUnit20cm = 5;
    gSnapTolerance = 4;
    gRunWithTrack = 1;
    gRunWithoutTrack = 0;
    gSettings.chboVisuTerugmeld = 1;
    gFeedbackByteCount = 0;
    decodeFeedbackImage();  // the contact map
}

}  // namespace benchtrains
