#include "layout/model/layout_file_format.h"

using vestrel::ByteReader;
using vestrel::ByteWriter;

namespace {

constexpr int kCanvasHeightStoredLess = 23;

// "Vd.d" gives 10 * first digit + second digit; anything else is a file without header (-1), read from byte 0.
int readVersion(const std::vector<uint8_t>& bytes, ByteReader& r) {
    if (bytes.size() >= 4 && bytes[0] == 'V' && bytes[2] == '.') {
        r.skip(4);
        return 10 * (bytes[1] - '0') + (bytes[3] - '0');
    }
    return -1;
}

struct Counts {
    int tracks = 0, blocks = 0, turnouts = 0, signals = 0, outputs = 0, inputs = 0, turntables = 0, connections = 0;
};

Counts readCounts(ByteReader& r, int version) {
    Counts c;
    c.tracks = r.i16();
    c.blocks = r.i16();
    c.turnouts = r.i16();
    c.signals = r.i16();
    if (version >= 3) c.outputs = r.i16();
    if (version >= 5) c.inputs = r.i16();
    if (version >= 9) c.turntables = r.i16();
    c.connections = r.i16();
    return c;
}

bool countsFit(const Counts& c) {
    const auto fits = [](int n, int capacity) { return n >= 0 && n <= capacity; };
    return fits(c.tracks, gTracks.capacity) && fits(c.blocks, gBlocks.capacity) &&
           fits(c.turnouts, gTurnouts.capacity) && fits(c.signals, gSignals.capacity) &&
           fits(c.outputs, gOutputs.capacity) && fits(c.inputs, gInputs.capacity) &&
           fits(c.turntables, gTurntables.capacity) && fits(c.connections, gConnections.capacity);
}

void readHeaderSettings(ByteReader& r, LayoutFileImage& im) {
    im.scaleDigit = r.ch();
    im.turnoutSizeMode = r.u8();
    im.zoomDigit = r.ch();
    im.turnoutWidthIndex = r.u8();
    im.hasCanvasSize = true;
    im.canvasWidth = r.i16();
    im.canvasHeightLess23 = r.i16();
}

void readTrailer(ByteReader& r, LayoutFileImage& im) {
    im.zoomDigit = r.ch();
    if (im.version < 1) return;
    im.hasCanvasSize = true;
    im.canvasWidth = r.i16();
    im.canvasHeightLess23 = r.i16();
}

template <class Rec>
using Records = LayoutFileImage::Records<Rec>;

template <class Rec, class Decode>
bool readRecords(ByteReader& r, int count, Records<Rec>& out, Decode decode) {
    out.resize(static_cast<size_t>(count));
    for (auto& rec : out) {
        rec = std::make_unique<Rec>();
        if (!decode(r, *rec)) return false;
    }
    return true;
}

// Records whose pointer travels as an index beside them.
template <class Rec, class Link, class Decode>
bool readLinkedRecords(ByteReader& r, int count, Records<Rec>& out, std::vector<Link>& links, Decode decode) {
    out.resize(static_cast<size_t>(count));
    links.resize(static_cast<size_t>(count));
    for (size_t i = 0; i < out.size(); ++i) {
        out[i] = std::make_unique<Rec>();
        if (!decode(r, *out[i], links[i])) return false;
    }
    return true;
}

// A record's own point and position counts index its arrays everywhere; out of range means a damaged file.
bool countInRange(int32_t n, int max) { return n >= 1 && n <= max; }

bool readTracks(ByteReader& r, int count, LayoutFileImage& im) {
    if (!readRecords(r, count, im.tracks, im.version < 0 ? decodeTrackNarrow : decodeTrack)) return false;
    for (const auto& t : im.tracks)
        if (!countInRange(t->segments, 3)) return false;
    return true;
}

bool readBlocks(ByteReader& r, int count, LayoutFileImage& im) {
    const int points = im.version < 0 ? kNarrowBlockPoints : im.version < 4 ? 8 : im.version < 9 ? 11 : 16;
    const auto decode = [&im, points](ByteReader& rd, BlockRec& b) {
        return im.version < 0 ? decodeBlockNarrow(rd, b) : decodeBlock(rd, b, points);
    };
    if (!readRecords(r, count, im.blocks, decode)) return false;
    for (const auto& b : im.blocks)
        if (!countInRange(b->sections, points - 1)) return false;
    return true;
}

bool readTurnouts(ByteReader& r, int count, LayoutFileImage& im) {
    const auto decode = im.version < 0 ? decodeTurnoutNarrow : im.version < 3 ? decodeTurnoutShort : decodeTurnout;
    return readRecords(r, count, im.turnouts, decode);
}

bool readSignals(ByteReader& r, int count, LayoutFileImage& im) {
    const auto decode = im.version < 0 ? decodeSignalNarrow : im.version < 1 ? decodeSignalV0 : decodeSignal;
    return readLinkedRecords(r, count, im.signals, im.signalBlocks, decode);
}

bool readTurntables(ByteReader& r, int count, LayoutFileImage& im) {
    if (!readLinkedRecords(r, count, im.turntables, im.turntableTracks, decodeTurntable)) return false;
    for (const auto& t : im.turntables)
        if (t->positions > kTurntablePositions) return false;
    return true;
}

bool readConnections(ByteReader& r, int count, LayoutFileImage& im) {
    const auto decode = im.version < 0   ? decodeConnectionNarrow
                        : im.version < 4 ? decodeConnectionShort
                                         : decodeConnection;
    return readLinkedRecords(r, count, im.connections, im.connectionLinks, decode);
}

int protocolEntriesStored(int version) { return version >= 6 ? kStoredProtocolEntries : version >= 2 ? 63 : 0; }

bool readTables(ByteReader& r, const Counts& c, LayoutFileImage& im) {
    return readTracks(r, c.tracks, im) && readBlocks(r, c.blocks, im) && readTurnouts(r, c.turnouts, im) &&
           readSignals(r, c.signals, im) && readRecords(r, c.outputs, im.outputs, decodeOutput) &&
           readRecords(r, c.inputs, im.inputs, decodeInput) && readTurntables(r, c.turntables, im) &&
           readConnections(r, c.connections, im);
}

}  // namespace

bool readLayoutImage(const std::vector<uint8_t>& bytes, LayoutFileImage& im) {
    ByteReader r(bytes);
    im = LayoutFileImage{};
    im.version = readVersion(bytes, r);
    if (im.version < -1 || im.version > kLayoutFileVersion) return false;
    if (im.version >= 8) readHeaderSettings(r, im);
    const Counts counts = readCounts(r, im.version);
    if (!r.ok() || !countsFit(counts)) return false;
    if (!readTables(r, counts, im)) return false;
    im.protocols.resize(static_cast<size_t>(protocolEntriesStored(im.version)));
    if (!im.protocols.empty()) r.bytes(im.protocols.data(), im.protocols.size());
    if (im.version < 8) readTrailer(r, im);
    return r.ok();
}

namespace {

template <class Rec, int Capacity>
int16_t countOf(const RecordTable<Rec, Capacity>& t) {
    return static_cast<int16_t>(t.count());
}

std::vector<const TurntableRec*> writableTurntables() {
    std::vector<const TurntableRec*> out;
    for (const TurntableRec* t : gTurntables)
        if (turntableTrackLink(*t) >= 0) out.push_back(t);
    return out;
}

std::vector<const ConnectionRec*> writableConnections() {
    std::vector<const ConnectionRec*> out;
    for (const ConnectionRec* c : gConnections)
        if (gBlocks.indexOfLinked(c->from) >= 0 && gBlocks.indexOfLinked(c->to) >= 0) out.push_back(c);
    return out;
}

}  // namespace

std::vector<uint8_t> writeLayoutImage() {
    const auto turntables = writableTurntables();
    const auto connections = writableConnections();
    ByteWriter w;
    w.reserve(28 + static_cast<size_t>(gTrackCount) * kTrackRecSize + static_cast<size_t>(gBlockCount) * kBlockRecSize +
              static_cast<size_t>(gTurnoutCount) * kTurnoutRecSize + static_cast<size_t>(gSignalCount) * kSignalRecSize +
              static_cast<size_t>(gOutputCount) * kOutputRecSize + static_cast<size_t>(gInputCount) * kInputRecSize +
              turntables.size() * kTurntableRecSize + connections.size() * kConnectionRecSize + kStoredProtocolEntries);
    w.text("V0.9");
    w.ch(gScaleDigit);
    w.u8(gTurnoutSizeMode);
    w.ch(gZoomDigit);
    w.u8(gTurnoutWidthIndex);
    w.i16(static_cast<int16_t>(gCanvasSize.width));
    w.i16(static_cast<int16_t>(gCanvasSize.height - kCanvasHeightStoredLess));
    for (int16_t n : {countOf(gTracks), countOf(gBlocks), countOf(gTurnouts), countOf(gSignals), countOf(gOutputs),
                      countOf(gInputs), static_cast<int16_t>(turntables.size()),
                      static_cast<int16_t>(connections.size())})
        w.i16(n);
    for (const TrackRec* t : gTracks) encodeTrack(w, *t);
    for (const BlockRec* b : gBlocks) encodeBlock(w, *b);
    for (const TurnoutRec* t : gTurnouts) encodeTurnout(w, *t);
    for (const SignalRec* s : gSignals) encodeSignal(w, *s, signalBlockLink(*s));
    for (const OutputRec* o : gOutputs) encodeOutput(w, *o);
    for (const InputRec* i : gInputs) encodeInput(w, *i);
    for (const TurntableRec* t : turntables) encodeTurntable(w, *t, turntableTrackLink(*t));
    for (const ConnectionRec* c : connections) encodeConnection(w, *c, connectionLinks(*c));
    for (int e = 1; e <= kStoredProtocolEntries; ++e) w.u8(gAccessoryState[e].protocol);
    return std::move(w.data());
}
