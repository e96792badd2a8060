#pragma once
// A step program with its box on the track diagram.
#include <cstdint>
#include <string>

struct LocoRec;

struct StepBoxRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

struct StepProgramRec {
    std::string name;            // at most 20 characters, "program XX" when new
    uint8_t number = 0;          // table index, written at session start
    uint8_t stepCount = 0;
    uint8_t currentStep = 0;     // run-time: 1-based step being executed, 0 not started
    uint8_t state = 0;           // 0 stopped, 1 running, 2 paused
    uint8_t counter = 0;
    int16_t firstStep = 0;
    int16_t waitLeft = 0;        // run-time seconds
    StepBoxRect box;             // left/top is the anchor
    int32_t nextSecond = 0;      // run-time
    LocoRec* boundLoco = nullptr;  // run-time
};
