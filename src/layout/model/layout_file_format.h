#pragma once
// The layout file's byte format, apart from the program state: reading a file's bytes into a scratch
// image (nothing global changes) and writing the current layout's bytes.
//
// Version 9 ("V0.9", the only one written):
//   0 "V0.9" | 4 scale digit | 5 turnout size mode | 6 zoom digit | 7 turnout width index
//   8 int16 canvas width | 10 int16 canvas height - 23 | 12..27 int16 counts T B K S O I D C
//   28 tracks, blocks, turnouts, signals, outputs, inputs, turntables, connections | 511 protocol bytes
// Older versions hold fewer counts and tables, smaller records, fewer protocol bytes and, below 8, the
// settings in a trailer after the protocol bytes; a file without "Vd.d" is version -1 with narrow records.
#include <cstdint>
#include <memory>
#include <vector>

#include "layout/model/layout_codec.h"

constexpr int kLayoutFileVersion = 9;
constexpr int kStoredProtocolEntries = 511;  // gAccessoryState entries 1..511

struct LayoutFileImage {
    int version = -1;
    // Settings: in the header from version 8, in the trailer below.
    char scaleDigit = '5';
    uint8_t turnoutSizeMode = 0;
    char zoomDigit = '3';
    uint8_t turnoutWidthIndex = 0;  // header only
    bool hasCanvasSize = false;     // false for versions -1 and 0
    int16_t canvasWidth = 0;
    int16_t canvasHeightLess23 = 0;

    // Records as stored, each ready to be handed to its table; pointer fields are null and their indexes
    // stand beside them.
    template <class Rec>
    using Records = std::vector<std::unique_ptr<Rec>>;
    Records<TrackRec> tracks;
    Records<BlockRec> blocks;
    Records<TurnoutRec> turnouts;
    Records<SignalRec> signals;
    std::vector<int32_t> signalBlocks;
    Records<OutputRec> outputs;
    Records<InputRec> inputs;
    Records<TurntableRec> turntables;
    std::vector<int32_t> turntableTracks;
    Records<ConnectionRec> connections;
    std::vector<ConnectionLinks> connectionLinks;
    std::vector<uint8_t> protocols;  // entries 1..protocols.size()
};

// Reads a whole file image. False when the version is not one this program knows (-1..9), a count lies
// outside 0..capacity, a record's own point count does not fit its form, or the bytes end early.
// image.version is set as soon as the header is read (for the message).
bool readLayoutImage(const std::vector<uint8_t>& bytes, LayoutFileImage& image);

// The current layout and settings as a version 9 file. Connections whose blocks are not in gBlocks and
// turntables whose track is not in gTracks (left over from an edit, unusable) are not written, so that
// every file written can be read back.
std::vector<uint8_t> writeLayoutImage();
