#pragma once
// The running model of the railway: locomotives with their running block, vehicle-end positions,
// wagons hanging in two chains from a locomotive, function decoders, and the tables that own them.
// Field order follows the stored byte layout (train_codec.h writes the exact images).
#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "layout/model/layout_model.h"
#include "layout/model/record_table.h"

struct RouteRec;   // a route followed in mode "Traject" (route file)
struct WagonRec;

// One vehicle end on the track (44 bytes stored). The element it stands on is the block, else the
// track, else the turnout; all three null means not on the track.
struct PositionRec {
    float x = 0, y = 0;
    float dx = 0, dy = 0;       // unit direction of travel
    int32_t sectionA = 0;       // section (block) or point (track, turnout) behind the end
    int32_t sectionB = 0;       // the one ahead; swapped when the vehicle reverses
    int32_t ix = 0, iy = 0;     // x and y truncated toward zero
    BlockRec* block = nullptr;
    TrackRec* track = nullptr;
    TurnoutRec* turnout = nullptr;
};

constexpr int kSpeedTableSize = 127;
constexpr int kPacketCacheSize = 50;
constexpr int kLocoNameSize = 29;     // zero-terminated, at most 28 characters
constexpr int kPhotoNameSize = 11;    // zero-terminated, at most 10 characters
constexpr int kWagonDescriptionSize = 29;

// Running modes.
constexpr uint8_t kModeShunting = 0;  // "Rangeer"
constexpr uint8_t kModeManual = 1;    // "Manueel"
constexpr uint8_t kModeAuto = 2;      // "Auto"
constexpr uint8_t kModeRoute = 3;     // "Traject"

// LocoRec flag bits.
constexpr uint8_t kLocoSendTarget = 0x01;     // send the target step (direction change on the speed channel)
constexpr uint8_t kLocoAutoCorrection = 0x02;
constexpr uint8_t kLocoForce = 0x04;
constexpr uint8_t kLocoForceOnce = 0x08;      // one-shot copy of kLocoForce taken with Ctrl

// The locomotive's running block (96 bytes stored inside LocoRec, after the next-step time). Its last
// 9 stored bytes are the start of the locomotive name, which LocoRec keeps whole.
struct LocoRunRec {
    PositionRec head;
    int32_t currentLine = 0;      // mode "Traject": index in gRouteLines
    uint8_t runFlagsA = 0;        // 0x01 halted, 0x02 departed, 0x04 moved, 0x08 changed, 0x10 start pause, 0xE0 its seconds
    uint8_t runFlagsB = 0;        // 0x03 position check, 0x04 blink, 0x08 holds elements by presence
    uint8_t distanceCounter = 0;
    uint8_t functionBits1 = 0;    // F0 0x10, F1..F4 0x01..0x08
    uint8_t functionBits2 = 0;    // F5..F12
    uint8_t functionBits3 = 0;    // F13..F20
    uint8_t lastStepSent = 0;
    int8_t speedCorrection = 0;
    int16_t maxSpeed = 130;       // km/h
    uint8_t spare[4] = {};
    int16_t speedSteps = 28;      // 14, 27, 28 or 126
    float kmHeadingH = 0;
    float kmTotal = 0;
    float kmDay = 0;
    std::string photo;            // under "foto\loc\"
};

using PacketCache = std::array<uint8_t, kPacketCacheSize>;

// One locomotive (192 bytes stored, plus its 127-byte speed table).
struct LocoRec {
    ConnectionRec* connection = nullptr;  // the connection the train travels on
    RouteRec* route = nullptr;
    int16_t number = 0;          // 1..9999, the decoder address
    int16_t slot = 0;            // index in gLocs
    uint8_t running = 0;
    uint8_t mode = kModeShunting;
    char heading = 'H';          // end of the block the train heads for: 'H' or 'T'
    char direction = 'v';        // 'v' forward, 'a' backward
    uint8_t holdCountdown = 0;
    uint8_t contactRole = 0;     // section kind 1..6 last reached by the leading end
    uint8_t acceleration = 7;    // 1..10
    uint8_t flags = 0;           // kLoco* bits
    int16_t shownSpeed = 0;
    int16_t speedValue = 0;
    int16_t targetStep = 0;
    int16_t currentStep = 0;
    int16_t lastAngle = 0;
    int16_t effectiveStepDelay = 0;
    int16_t stepDelay = 0;
    int16_t maxStep = 0;
    int32_t nextStepTime = 0;
    LocoRunRec run;
    std::string name;            // stored as 29 bytes across the end of the running block and here
    uint8_t motor = 0;           // 0 steam, 1 diesel, 2 electric
    uint8_t kind = 0;            // 1 passenger, 2 goods, 4 shunting, 8 other
    uint8_t decoderType = 4;     // 0..5, see kDecoderTypeSteps
    uint8_t reserved1[5] = {};
    int16_t trainLength = 0;     // layout units
    uint8_t reserved2[2] = {};
    WagonRec* frontChain = nullptr;  // first wagon on the side away from the head
    WagonRec* rearChain = nullptr;   // outermost wagon on the head side
    std::unique_ptr<PacketCache> packetCache;  // while on the track
    std::vector<int8_t> blockCorrections;      // 2 per block while on the track, else empty
    std::array<uint8_t, kSpeedTableSize> speedTable{};
    WagonRec* helperWagon = nullptr;  // a helper locomotive's stand-in inside another train
    // In memory only: the 1-based number of its route while the routes are reloaded (0 none).
    int16_t savedRoute = 0;
};

// Speed steps of each decoder type.
constexpr int kDecoderTypeSteps[6] = {14, 14, 27, 14, 28, 126};

// One wagon (156 bytes stored).
struct WagonRec {
    PositionRec front;
    PositionRec rear;
    uint8_t lengthUnits = 0;     // drawn length is this + 6
    char kind = 'P';             // 'P', 'G', 'S', 'H' (helper locomotive)
    uint8_t spare1[2] = {};
    WagonRec* next = nullptr;
    WagonRec* previous = nullptr;
    LocoRec* owner = nullptr;    // null for a loose wagon
    int32_t number = 0;
    uint32_t weight = 0;
    std::string photo;           // under "foto\wag\klein\"
    std::string description;
    uint8_t lengthCm = 15;
    uint8_t percent = 0;
    uint8_t spare2 = 0;
    uint8_t slot = 0;            // index in gWagons
};

constexpr int kMaxDecoderFunctions = 28;

// A function decoder (348 bytes stored; its file and dialog belong to the function-decoder unit).
struct FunctionDecoderRec {
    int16_t address = 0;
    int16_t slot = 0;            // index in gFunctionDecoders
    std::string name;            // at most 20 characters
    uint8_t functionCount = kMaxDecoderFunctions;
    std::string functionNames[kMaxDecoderFunctions];
    uint8_t protocol = 1;        // 0 Motorola, 1 DCC
    uint32_t functionState = 0;  // F1..F4 bits 0..3, F5..F28 bits 8..31
    uint8_t spare[5] = {};
    LocoRec* loco = nullptr;
};

// A list of records owned elsewhere (the locomotives on the track, the helper locomotives).
template <class Rec, int Capacity>
class RecordRefs {
public:
    static constexpr int capacity = Capacity;
    int count() const { return count_; }
    const int& countRef() const { return count_; }
    bool full() const { return count_ >= Capacity; }
    Rec* operator[](int i) const { return (i >= 0 && i < count_) ? slots_[i] : nullptr; }
    Rec* const* begin() const { return slots_; }
    Rec* const* end() const { return slots_ + count_; }
    bool append(Rec* r) {
        if (full() || !r) return false;
        slots_[count_++] = r;
        return true;
    }
    void removeAt(int i) {
        if (i < 0 || i >= count_) return;
        for (int k = i; k < count_ - 1; ++k) slots_[k] = slots_[k + 1];
        slots_[--count_] = nullptr;
    }
    int indexOf(const Rec* r) const {
        for (int i = 0; i < count_; ++i)
            if (slots_[i] == r) return i;
        return -1;
    }
    void clear() {
        for (int i = 0; i < count_; ++i) slots_[i] = nullptr;
        count_ = 0;
    }
    template <class Less>
    void stableSort(Less less) {
        std::stable_sort(slots_, slots_ + count_, [&](const Rec* a, const Rec* b) { return less(*a, *b); });
    }

private:
    Rec* slots_[Capacity] = {};
    int count_ = 0;
};

constexpr int kMaxLocsOnTrack = 20;
constexpr int kMaxHelperLocs = 5;
constexpr int kMaxWagons = 200;
constexpr int kMaxLocs = 200;
constexpr int kMaxFunctionDecoders = 200;
constexpr int kMaxTrainWagons = 20;

extern RecordRefs<LocoRec, kMaxLocsOnTrack> gLocsOnTrack;  // index = control-post row
extern RecordRefs<LocoRec, kMaxHelperLocs> gHelperLocs;
extern RecordTable<WagonRec, kMaxWagons> gWagons;           // zones: see gWagonCounts
extern RecordTable<LocoRec, kMaxLocs> gLocs;                // sorted by number
extern RecordTable<FunctionDecoderRec, kMaxFunctionDecoders> gFunctionDecoders;

// gWagons zones: [0, loose) loose wagons on the track; [loose, coupledEnd) the wagons of all chains in
// gLocs order, front chain before rear chain; [coupledEnd, total) wagons off the track.
struct WagonCounts {
    int loose = 0;
    int coupledEnd = 0;
};
extern WagonCounts gWagonCounts;
inline const int& gLocCount = gLocs.countRef();
inline const int& gLocsOnTrackCount = gLocsOnTrack.countRef();
inline const int& gHelperLocCount = gHelperLocs.countRef();
inline const int& gWagonTotal = gWagons.countRef();
inline const int& gFunctionDecoderCount = gFunctionDecoders.countRef();

// What decoder programming works on: a locomotive (also the one that carries a Motorola function
// decoder's programming) and the function decoder chosen, none when absent. Freeing a record clears
// its pointer here.
extern LocoRec* gProgLoco;
extern FunctionDecoderRec* gProgFunctionDecoder;

// The classic shared pointer table gRunTable: slot numbers of its ranges, for files and peers that
// name records by run-table slot.
enum class RunRange { Connections, LocsOnTrack, HelperLocs, Wagons, Locs, FunctionDecoders, None };
constexpr int kRunTableSize = 1125;
constexpr int kRunTableBase[6] = {0, 500, 520, 525, 725, 925};
// The range and the index within it of a run-table slot (RunRange::None outside 0..1124).
struct RunTableSlot {
    RunRange range = RunRange::None;
    int index = -1;
};
RunTableSlot runTableSlot(int slot);
int runTableSlotNumber(RunRange range, int index);

// Speed table entry for a step of this locomotive (entry step x 126 / steps, kept inside the table).
int speedTableEntry(const LocoRec& loco, int step);
// The locomotive with this number in gLocs, or null.
LocoRec* findLocoByNumber(int number);
// True when the position stands on an element.
inline bool onTrack(const PositionRec& p) { return p.block || p.track || p.turnout; }
// Clears the position's element pointers.
inline void clearElements(PositionRec& p) {
    p.block = nullptr;
    p.track = nullptr;
    p.turnout = nullptr;
}
// True when the locomotive has a control-post row and its head stands on an element.
bool locoStandsOnTrack(const LocoRec* loco);
// The wagons of a chain from first on, in chain order (bounded, so a broken chain cannot loop).
std::vector<WagonRec*> chainWagons(WagonRec* first);
// The head-block contact role repaired to 1..6 (6 heading 'H', 1 heading 'T').
void repairContactRole(LocoRec& loco);

// Sets each coupled wagon's previous pointer, owner and slot, placing the chains in gWagons from the
// loose count on in gLocs order (front chain, then rear chain), and sets the end of the coupled zone.
void relinkWagonChains();
// Frees every locomotive and wagon, empties every train table and forgets every train the layout
// records name (blocks, turnouts, tracks, turntables).
void clearTrainTables();
