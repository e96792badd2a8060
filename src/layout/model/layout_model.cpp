#include "layout/model/layout_model.h"

RecordTable<TrackRec, 100> gTracks;
RecordTable<BlockRec, 200> gBlocks;
RecordTable<TurnoutRec, 200> gTurnouts;
RecordTable<SignalRec, 200> gSignals;
RecordTable<OutputRec, 100> gOutputs;
RecordTable<InputRec, 496> gInputs;
RecordTable<TurntableRec, 3> gTurntables;
RecordTable<ConnectionRec, 500> gConnections;

char gScaleDigit = '5';
uint8_t gTurnoutSizeMode = 0;
char gZoomDigit = '3';
uint8_t gTurnoutLengthIndex = 2;
uint8_t gTurnoutWidthIndex = 0;
uint8_t gOrientation = 0;
uint8_t gSnapTolerance = 4;
uint8_t gVisibleLayers = 7;
CanvasSize gCanvasSize;
uint8_t gTurnoutLength = 0;
uint8_t gTurnoutBranchLength = 0;
uint8_t gGridStep = 0;
LayoutOffset gLayoutOffset;
AccessoryDecoderRec gAccessoryState[kAccessoryDecoders];
std::string gLayoutFileName;
uint8_t gDirtyFlags = 0;

void clearElementTables() {
    gTracks.clear();
    gBlocks.clear();
    gTurnouts.clear();
    gSignals.clear();
    gOutputs.clear();
    gInputs.clear();
    gTurntables.clear();
    gConnections.clear();
}

int blockIndexOf(const BlockRec* b) { return b ? gBlocks.indexOf(b) : -1; }

BlockRec* blockByNumber(int number) {
    for (BlockRec* b : gBlocks)
        if (b->number == number) return b;
    return nullptr;
}
int trackIndexOf(const TrackRec* t) { return t ? gTracks.indexOf(t) : -1; }
int turnoutIndexOf(const TurnoutRec* t) { return t ? gTurnouts.indexOf(t) : -1; }
