#pragma once
// The layout element model: fixed-size records owned by fixed-capacity tables.
// In memory links between records are real pointers; on disk and on the wire they are table indexes
// (see layout_codec.h). Field order follows the stored byte layout.
#include <cstdint>
#include <string>

#include "layout/model/record_table.h"

struct LocoRec;  // train operation's locomotive record

struct DiagramPoint {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const DiagramPoint&, const DiagramPoint&) = default;
};

// Connecting track, a polyline of 2 to 4 points (52 bytes stored).
struct TrackRec {
    DiagramPoint points[4];
    int32_t segments = 0;       // index of the last point, 1..3
    int32_t segmentAngles[3] = {};
    uint8_t flags = 0;          // 1 reversing loop, 2 turntable bridge, 4/8/16 layer 1/2/3
    uint8_t locoOnIt = 0;       // run-time: gLocs slot + 1
    uint8_t ownIndex = 0;
    uint8_t vehicleFlags = 0;   // run-time: 0x10 a vehicle stands on it
};

constexpr int kMaxSections = 15;

// Block of 2 to 15 sections (464 bytes stored).
struct BlockRec {
    LocoRec* arrivedTrain = nullptr;   // run-time
    LocoRec* assignedTrain = nullptr;  // run-time
    int16_t number = 0;
    int16_t ownIndex = 0;
    uint8_t allowedTrains = 0;   // 1 P, 2 G, 4 R, 8 A, 0x80 catenary
    char allowedDirection = 0;   // 'H', 'T', 'B'
    uint8_t reserved1[2] = {};
    uint8_t flags = 0;           // 1 reversing loop, 2/4/8 layer 1/2/3, 16 wait for passenger trains only
    int8_t bendCorrection = 0;
    int8_t outwardSlope = 4;
    int8_t returnSlope = 4;
    int32_t speed = 0;
    int32_t waitTime = 0;
    int32_t remainingWait = 0;   // run-time
    DiagramPoint points[kMaxSections + 1];
    int32_t sections = 0;
    int32_t sectionAngles[kMaxSections] = {};
    uint8_t state = 0;           // run-time bits; 0x40 incomplete (recomputed)
    char hAspect = 0;
    char tAspect = 0;
    uint8_t orangeEnds = 0;
    int16_t occupiedSections = 0;  // run-time
    int16_t sectionInputs[kMaxSections + 1] = {};  // entry 0 unused
    uint8_t sectionKinds[kMaxSections] = {};
    uint8_t padding1[3] = {};
    float sectionLengths[kMaxSections] = {};
    int16_t totalLength = 0;
    uint8_t padding2[2] = {};
    float sectionDirections[kMaxSections][2] = {};
    // In memory only, not stored: the occupancy the running engine last processed.
    int16_t shownOccupancy = 0;
};

// Turnout or crossing (60 bytes stored).
struct TurnoutRec {
    LocoRec* holder = nullptr;   // run-time
    int16_t number = 0;
    int16_t ownIndex = 0;
    char subtype = 0;            // 'l', 'r', 'k', 'x'
    char position = 0;           // 'G', 'R'
    uint8_t partner = 0;         // gTurnouts index + 1 of the other half of a double turnout
    uint8_t options = 0;         // 1 inverted, 2 manual
    DiagramPoint legs[4];
    DiagramPoint centre;
    int32_t angle = 0;
    uint8_t pulseTime = 0;
    uint8_t reserved = 0;
    uint8_t runState = 0;        // run-time
    uint8_t vehicleFlags = 0;    // run-time
};

// Signal at an end of a block (56 bytes stored).
struct SignalRec {
    BlockRec* block = nullptr;
    int16_t number = 0;
    int16_t ownIndex = 0;
    char direction = 0;          // 'H', 'T'
    char aspect = 0;             // 'G', 'O', 'R', 'S'
    uint8_t reserved1[2] = {};
    DiagramPoint outline[4];
    int32_t angle = 0;
    uint8_t pulseTime = 0;
    uint8_t reserved2[2] = {};
    uint8_t runState = 0;        // run-time
    int16_t orangeNumber = 0;
    uint8_t reserved3[2] = {};
};

// Output such as an uncoupling rail (48 bytes stored).
struct OutputRec {
    int16_t key = 0;             // address * 2 + button (1 green, 0 red)
    int16_t ownIndex = 0;
    char state = 0;              // 'G', 'R', or 0
    uint8_t reserved1[3] = {};
    DiagramPoint outline[4];
    int32_t angle = 0;
    uint8_t pulseTime = 0;
    uint8_t reserved2[2] = {};
    uint8_t runFlags = 0;        // run-time: 2 operated, 4 blocked
};

// Feedback contact shown on the diagram (32 bytes stored).
struct InputRec {
    int16_t number = 0;          // 1..496
    int16_t ownIndex = 0;
    uint8_t state = 0;           // run-time contact state
    uint8_t reserved1[3] = {};
    DiagramPoint anchor;
    DiagramPoint secondPoint;
    int32_t angle = 0;
    uint8_t reserved2[3] = {};
    uint8_t runState = 0;        // run-time
};

constexpr int kTurntablePositions = 24;
constexpr int kTurntableConnections = 40;

// Turntable with its bridge track (300 bytes stored).
struct TurntableRec {
    int16_t number = 0;          // 1..3
    int16_t ownIndex = 0;
    uint8_t decoderSystem = 0;
    uint8_t positions = 0;
    uint8_t currentPosition = 0;
    uint8_t secondPosition = 0;
    uint8_t positionSpacing = 0;
    uint8_t bridgeSpeed = 0;
    uint8_t pulseTime = 0;
    uint8_t timeout = 0;
    uint8_t reserved1 = 0;
    uint8_t runOn = 0;
    uint8_t reserved2[13] = {};
    uint8_t runState = 0;        // run-time
    float centre[2] = {};
    float bridgeAngle = 0;
    float currentAngle = 0;
    float angularSpeed = 0;
    float radius = 0;
    int16_t outerEnds[kTurntablePositions][2] = {};
    int16_t innerEnds[kTurntablePositions][2] = {};
    uint8_t positionOfConnection[kTurntableConnections] = {};
    int16_t startAddress = 0;
    int16_t inPositionInput = 0;
    int16_t occupancyInput = 0;
    uint8_t padding[2] = {};
    TrackRec* track = nullptr;
    LocoRec* loco = nullptr;     // run-time
};

constexpr int kConnectionTurnouts = 20;

// One way of travel from a block end to the next block (116 bytes stored).
struct ConnectionRec {
    BlockRec* from = nullptr;
    BlockRec* to = nullptr;
    uint8_t reserved = 0;
    uint8_t loop = 0;
    char direction = 0;          // 'H', 'T'
    uint8_t padding1 = 0;
    TurnoutRec* turnouts[kConnectionTurnouts] = {};
    char positions[kConnectionTurnouts] = {};
    uint8_t endMark = 0;
    uint8_t padding2[3] = {};
};

// One accessory decoder (four addresses), 8 bytes.
struct AccessoryDecoderRec {
    uint8_t protocol = 0;        // 0 Motorola, 1 DCC; stored with the layout
    uint8_t lastOutput = 0;      // output 1..8 last switched on, bit 7 while its switch-off is pending
    uint8_t reserved[2] = {};
    uint32_t switchOffTime = 0;
};

// Stored record sizes.
constexpr int kTrackRecSize = 52;
constexpr int kBlockRecSize = 464;
constexpr int kTurnoutRecSize = 60;
constexpr int kSignalRecSize = 56;
constexpr int kOutputRecSize = 48;
constexpr int kInputRecSize = 32;
constexpr int kTurntableRecSize = 300;
constexpr int kConnectionRecSize = 116;

// Element tables, walked in this order wherever all elements are visited.
extern RecordTable<TrackRec, 100> gTracks;
extern RecordTable<BlockRec, 200> gBlocks;
extern RecordTable<TurnoutRec, 200> gTurnouts;
extern RecordTable<SignalRec, 200> gSignals;
extern RecordTable<OutputRec, 100> gOutputs;
extern RecordTable<InputRec, 496> gInputs;
extern RecordTable<TurntableRec, 3> gTurntables;
extern RecordTable<ConnectionRec, 500> gConnections;

// Counts follow their tables; they are read-only views so that no code can let them drift apart.
inline const int& gTrackCount = gTracks.countRef();
inline const int& gBlockCount = gBlocks.countRef();
inline const int& gTurnoutCount = gTurnouts.countRef();
inline const int& gSignalCount = gSignals.countRef();
inline const int& gOutputCount = gOutputs.countRef();
inline const int& gInputCount = gInputs.countRef();
inline const int& gTurntableCount = gTurntables.countRef();
inline const int& gConnectionCount = gConnections.countRef();

// Layout-wide settings.
struct CanvasSize {
    int32_t width = 640;
    int32_t height = 480;
};
struct LayoutOffset {
    int32_t x = 0;
    int32_t y = 0;
};

extern char gScaleDigit;            // '1'..'8'
extern uint8_t gTurnoutSizeMode;    // 0 fixed, 1 variable
extern char gZoomDigit;             // '1'..'9'
extern uint8_t gTurnoutLengthIndex; // 0..4
extern uint8_t gTurnoutWidthIndex;  // 0..1
extern uint8_t gOrientation;        // 0..3 quarter turns
extern uint8_t gSnapTolerance;
extern uint8_t gVisibleLayers;      // bits 1, 2, 4
extern CanvasSize gCanvasSize;
extern uint8_t gTurnoutLength;
extern uint8_t gTurnoutBranchLength;
extern uint8_t gGridStep;
extern LayoutOffset gLayoutOffset;
constexpr int kAccessoryDecoders = 513;
extern AccessoryDecoderRec gAccessoryState[kAccessoryDecoders];
extern std::string gLayoutFileName;  // at most 25 characters
extern uint8_t gDirtyFlags;          // 1 structure, 2 properties

constexpr const char* kNoNameLayout = "geennaam.vtl";

// Frees every record of the seven element tables and the connections.
void clearElementTables();

// Table index of a block, or -1 when the pointer is not in gBlocks.
int blockIndexOf(const BlockRec* b);
// The first block in gBlocks with that number, or null.
BlockRec* blockByNumber(int number);
int trackIndexOf(const TrackRec* t);
int turnoutIndexOf(const TurnoutRec* t);
