#pragma once
// Train records <-> their stored byte images (locomotive file, network copy), field by field,
// little-endian. Pointers travel as numbers the caller supplies on writing and receives on reading:
//   position block, track, turnout    int32, index in gBlocks / gTracks / gTurnouts + 1, 0 none
//   locomotive connection, route      int32, index in gConnections / gRoutes + 1, 0 none
//   every other pointer               uint32, 1 set, 0 none (readers only test it)
#include <cstdint>
#include <string>

#include "operation/model/train_model.h"
#include "platform/byte_io.h"

constexpr int kPositionRecSize = 44;
constexpr int kLocoRunRecSize = 96;
constexpr int kLocoRecSize = 192;
constexpr int kWagonRecSize = 156;
constexpr int kLocoRunOffset = 40;   // the running block inside the locomotive image
constexpr int kLocoNameOffset = 127; // the 29-byte name (last 9 bytes of the running block, then 20)

struct PositionLinks {
    int32_t block = 0;
    int32_t track = 0;
    int32_t turnout = 0;
};

struct LocoLinks {
    int32_t connection = 0;
    int32_t route = 0;
    PositionLinks head;
    uint32_t frontChain = 0;
    uint32_t rearChain = 0;
    uint32_t packetCache = 0;
    uint32_t blockCorrections = 0;
    uint32_t speedTable = 0;
    uint32_t helperWagon = 0;
};

struct WagonLinks {
    PositionLinks front;
    PositionLinks rear;
    uint32_t next = 0;
    uint32_t previous = 0;
    uint32_t owner = 0;
};

// A zero-terminated text field of a fixed size: at most size - 1 characters are kept.
void writeFixedText(vestrel::ByteWriter& w, const std::string& s, int size);
std::string readFixedText(vestrel::ByteReader& r, int size);

void encodePosition(vestrel::ByteWriter& w, const PositionRec& p, const PositionLinks& links);
bool decodePosition(vestrel::ByteReader& r, PositionRec& p, PositionLinks& links);

// Element pointers -> 1-based indexes in the current tables (0 for none or an element not in them).
PositionLinks positionPointersToIndexes(const PositionRec& p);
// The pointers and set-flags of a locomotive or wagon as the stored image holds them.
LocoLinks locoLinksOf(const LocoRec& loco);
WagonLinks wagonLinksOf(const WagonRec& wagon, bool withPositions);

// The parts of the images that peers exchange: a locomotive's data block from its maximum speed on,
// a wagon's data from its length units to its slot.
constexpr int kLocoDataOffset = 96;
constexpr int kLocoDataSize = 72;
constexpr int kWagonDataOffset = 88;
constexpr int kWagonDataSize = 68;

// Decoders fill every stored field; pointers are left null (the links tell what they were).
void encodeLoco(vestrel::ByteWriter& w, const LocoRec& loco, const LocoLinks& links);
bool decodeLoco(vestrel::ByteReader& r, LocoRec& loco, LocoLinks& links);
void encodeWagon(vestrel::ByteWriter& w, const WagonRec& wagon, const WagonLinks& links);
bool decodeWagon(vestrel::ByteReader& r, WagonRec& wagon, WagonLinks& links);
