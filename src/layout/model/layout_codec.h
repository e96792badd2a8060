#pragma once
// Layout records <-> their stored byte images (layout file, network copy).
// Every record is written field by field at its fixed offsets, little-endian. Pointers between records
// travel as table indexes that the caller supplies on writing and receives on reading:
//   signal block            int32, 0-based index in gBlocks
//   turntable track         int32, 0-based index in gTracks
//   connection from, to     int32, 0-based indexes in gBlocks
//   connection turnouts     int32, index in gTurnouts + 1, 0 ends the list
// Pointers to run-time locomotives and the padding of a connection are written as 0 and ignored when read.
// Every other byte, reserved ones included, is kept in the record and written back as it was read.
//
// Decoders read one record at the reader's position, fill every field of the record (fields that a form
// does not hold become 0) and answer whether the reader is still ok (a short read is a failure).
#include <cstdint>

#include "layout/model/layout_model.h"
#include "platform/byte_io.h"

// Older and narrower stored forms, read by the loader of old layout files.
constexpr int blockRecSize(int points) {
    const int n = points - 1;
    const int kindsPadding = (4 - (3 * n + 8) % 4) % 4;
    return 32 + 8 * points + 4 * points + (2 * n + 8) + (n + kindsPadding) + 4 * n + (8 * n + 4);
}
constexpr int kTurnoutRecSizeShort = 76;      // versions 0..2
constexpr int kSignalRecSizeV0 = 52;          // version 0
constexpr int kConnectionRecSizeShort = 64;   // versions 0..3, 10 turnout entries
constexpr int kTrackRecSizeNarrow = 25;       // files without header
constexpr int kBlockRecSizeNarrow = 70;
constexpr int kTurnoutRecSizeNarrow = 39;
constexpr int kSignalRecSizeNarrow = 27;
constexpr int kConnectionRecSizeNarrow = 62;
constexpr int kNarrowBlockPoints = 8;
constexpr int kShortConnectionTurnouts = 10;

static_assert(blockRecSize(16) == kBlockRecSize && blockRecSize(11) == 328 && blockRecSize(8) == 248);

struct ConnectionLinks {
    int32_t from = 0;
    int32_t to = 0;
    int32_t turnouts[kConnectionTurnouts] = {};  // index + 1; 0 ends the list
};

void encodeTrack(vestrel::ByteWriter& w, const TrackRec& t);
bool decodeTrack(vestrel::ByteReader& r, TrackRec& t);
bool decodeTrackNarrow(vestrel::ByteReader& r, TrackRec& t);

void encodeBlock(vestrel::ByteWriter& w, const BlockRec& b);
// points: 16 (current form), 11 or 8 (older files; per-section arrays shortened to points - 1 entries).
bool decodeBlock(vestrel::ByteReader& r, BlockRec& b, int points = kMaxSections + 1);
bool decodeBlockNarrow(vestrel::ByteReader& r, BlockRec& b);

void encodeTurnout(vestrel::ByteWriter& w, const TurnoutRec& t);
bool decodeTurnout(vestrel::ByteReader& r, TurnoutRec& t);
bool decodeTurnoutShort(vestrel::ByteReader& r, TurnoutRec& t);
bool decodeTurnoutNarrow(vestrel::ByteReader& r, TurnoutRec& t);

void encodeSignal(vestrel::ByteWriter& w, const SignalRec& s, int32_t blockIndex);
bool decodeSignal(vestrel::ByteReader& r, SignalRec& s, int32_t& blockIndex);
bool decodeSignalV0(vestrel::ByteReader& r, SignalRec& s, int32_t& blockIndex);
bool decodeSignalNarrow(vestrel::ByteReader& r, SignalRec& s, int32_t& blockIndex);

void encodeOutput(vestrel::ByteWriter& w, const OutputRec& o);
bool decodeOutput(vestrel::ByteReader& r, OutputRec& o);

void encodeInput(vestrel::ByteWriter& w, const InputRec& i);
bool decodeInput(vestrel::ByteReader& r, InputRec& i);

void encodeTurntable(vestrel::ByteWriter& w, const TurntableRec& t, int32_t trackIndex);
bool decodeTurntable(vestrel::ByteReader& r, TurntableRec& t, int32_t& trackIndex);

void encodeConnection(vestrel::ByteWriter& w, const ConnectionRec& c, const ConnectionLinks& links);
bool decodeConnection(vestrel::ByteReader& r, ConnectionRec& c, ConnectionLinks& links);
bool decodeConnectionShort(vestrel::ByteReader& r, ConnectionRec& c, ConnectionLinks& links);
bool decodeConnectionNarrow(vestrel::ByteReader& r, ConnectionRec& c, ConnectionLinks& links);

// Pointers -> indexes in the current tables.
// A signal without a block (or with one not in gBlocks) gets the block count.
int32_t signalBlockLink(const SignalRec& s);
// -1 when the track is not in gTracks.
int32_t turntableTrackLink(const TurntableRec& t);
// from/to -1 when not in gBlocks; the turnout list ends at the first entry that is null or not in gTurnouts.
ConnectionLinks connectionLinks(const ConnectionRec& c);

// Indexes -> pointers in the current tables; false (record unchanged) when an index lies outside its table.
// A signal's block index equal to the block count means "no block".
bool resolveSignalBlock(SignalRec& s, int32_t blockIndex);
bool resolveTurntableTrack(TurntableRec& t, int32_t trackIndex);
// Turnout entries after the first 0 are not looked at; their pointers become null.
bool resolveConnectionLinks(ConnectionRec& c, const ConnectionLinks& links);
