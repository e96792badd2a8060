#pragma once
// Step programs: the program records with their diagram boxes, and the one step table all programs share.
// The records are a file and network format as well (step_codec.h); fields are in stored order.
#include <cstdint>
#include <string>

#include "layout/model/record_table.h"

struct LocoRec;

struct StepBoxRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// One step program with its box on the diagram (56 bytes stored).
struct StepProgramRec {
    std::string name;            // at most 20 characters, "program XX" when new
    uint8_t number = 0;          // table index, written at session start; network records name programs by it
    uint8_t stepCount = 0;       // 0..255
    uint8_t currentStep = 0;     // run-time: 1-based step being executed, 0 not started
    uint8_t state = 0;           // run-time: 0 stopped, 1 running, 2 paused
    uint8_t counter = 0;         // wraps modulo 256
    int16_t firstStep = 0;       // index in gSteps of the program's first step
    int16_t waitLeft = 0;        // run-time: seconds left of the current action step
    StepBoxRect box;             // left/top is the anchor
    int32_t nextSecond = 0;      // run-time: gMsTick at which the wait counter next goes down
    LocoRec* boundLoco = nullptr;  // run-time
};

// One step (10 bytes stored).
struct StepRec {
    int16_t conditionValue = 0;
    int16_t actionValue = 0;
    int16_t time = 0;            // seconds 0..999
    int16_t resolvedTarget = 0;  // run-time: table index of the condition's object, -1 none
    uint8_t conditionCode = 0;
    uint8_t actionCode = 0;
};

constexpr int kStepProgramRecSize = 56;
constexpr int kStepRecSize = 10;
constexpr int kStepProgramNameMax = 20;
constexpr int kMaxStepsPerProgram = 255;

// Program p owns the contiguous run [firstStep, firstStep + stepCount) of gSteps; the runs together cover
// the whole step table.
extern RecordTable<StepProgramRec, 50> gStepPrograms;
extern RecordTable<StepRec, 500> gSteps;
inline const int& gStepProgramCount = gStepPrograms.countRef();
inline const int& gStepCount = gSteps.countRef();
