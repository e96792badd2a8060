#pragma once
// Reading a locomotive file into free-standing records, checked against the current layout, before
// any table is touched.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "operation/model/train_codec.h"
#include "steps/model/formula_vars.h"

constexpr int kLocoFileVersion = 11;

// Stored record sizes of the older versions.
int locoImageSize(int version);
int wagonImageSize(int version);

struct StoredWagon {
    std::unique_ptr<WagonRec> rec;
    WagonLinks links;
    WagonRec* installed = nullptr;  // the record once a table owns it
};

struct StoredLoco {
    std::unique_ptr<LocoRec> rec;
    LocoLinks links;  // head.block 0: off the track
    std::vector<StoredWagon> front;
    std::vector<StoredWagon> rear;
    LocoRec* installed = nullptr;
};

struct StoredBlockState {
    int32_t arrived = 0;   // gLocs index + 1 in file order, 0 none
    int32_t assigned = 0;
};
struct StoredTurnoutState {
    int32_t holder = 0;
    char position = 0;
};
struct StoredTurntableState {
    uint8_t target = 0;
    float angle = 0;
    int32_t loco = 0;
};

struct StoredRunState {
    std::vector<StoredBlockState> blocks;
    std::vector<StoredTurnoutState> turnouts;
    std::vector<char> signalAspects;
    std::vector<StoredTurntableState> turntables;  // none before version 10
    std::array<float, kFormulaVars> formulaVars{};
};

enum class LocoFileStatus {
    Ok,
    BadZoom,  // not loaded at all
    Damaged,  // the locomotive or wagon part is unusable
};

enum class RunStateStatus {
    Ok,
    Mismatch,  // written for a layout with other element counts: nothing goes on the track
    Damaged,   // unreadable or naming what does not exist: nothing goes on the track
};

struct LocoFileContent {
    LocoFileStatus status = LocoFileStatus::Damaged;
    int version = 0;
    char zoomDigit = '2';
    std::vector<StoredLoco> locos;
    std::vector<StoredWagon> loose;
    std::vector<StoredWagon> offTrack;
    RunStateStatus runState = RunStateStatus::Damaged;
    StoredRunState run;
};

// flag 1 reads every locomotive as standing off the track.
LocoFileContent parseLocoFile(const std::vector<uint8_t>& bytes, int flag);

// The speed-step counts a locomotive may have: 14, 27, 28 or 126.
bool validLocoSpeedSteps(int n);

// A stored or received coordinate as the program can use it: inside the 32-bit range that the
// whole-pixel copies of positions take, NaN as 0.
float usableCoordinate(float v);

// Replaces a stored position's indexes by element pointers, scales x and y by factor and recomputes
// the truncated point; a locomotive standing on a connecting track marks the track. false (and the
// position untouched) when an index lies outside its table.
bool fixupPositionRecord(PositionRec& p, const PositionLinks& links, float factor, LocoRec* loco);
// True when every index lies within its table (0 = none).
bool positionLinksValid(const PositionLinks& links);
