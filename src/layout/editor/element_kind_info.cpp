#include "layout/model/layout_file_format.h"  // before Qt, whose keywords name its fields
#include "layout/editor/element_kind_info.h"

#include <memory>

#include "layout/editor/element_delete.h"
#include "layout/draw/element_draw.h"
#include "layout/model/geometry.h"
#include "layout/model/layout_codec.h"
#include "layout/editor/layout_move.h"
#include "layout/files/layout_file.h"

using vestrel::ByteReader;
using vestrel::ByteWriter;

namespace {

// What differs between the kinds; everything else is written once in KindRow below.
template <class Rec>
struct Kind;

template <>
struct Kind<TrackRec> {
    static constexpr char letter = 'v';
    static constexpr int size = kTrackRecSize;
    static auto& table() { return gTracks; }
    static void encode(ByteWriter& w, const TrackRec& t) { encodeTrack(w, t); }
    static bool decode(ByteReader& r, TrackRec& t) { return decodeTrack(r, t) && t.segments >= 1 && t.segments <= 3; }
    static void keepRunTime(TrackRec&, const TrackRec&) {}
    static void offset(TrackRec& t, int32_t dx, int32_t dy) { offsetPoints(t.points, t.segments, dx, dy); }
    static void draw(TrackRec& t, int erase) { drawTrack(t, erase, 1); }
    static void remove(int index, int journal) { deleteTrack(index, journal); }
};

template <>
struct Kind<BlockRec> {
    static constexpr char letter = 'b';
    static constexpr int size = kBlockRecSize;
    static auto& table() { return gBlocks; }
    static void encode(ByteWriter& w, const BlockRec& b) { encodeBlock(w, b); }
    static bool decode(ByteReader& r, BlockRec& b) {
        return decodeBlock(r, b) && b.sections >= 1 && b.sections <= kMaxSections;
    }
    static void keepRunTime(BlockRec& b, const BlockRec& live) {
        b.arrivedTrain = live.arrivedTrain;
        b.assignedTrain = live.assignedTrain;
    }
    static void offset(BlockRec& b, int32_t dx, int32_t dy) { offsetPoints(b.points, b.sections, dx, dy); }
    static void draw(BlockRec& b, int erase) { drawBlock(b, erase, 1); }
    static void remove(int index, int journal) { deleteBlock(index, journal); }
};

template <>
struct Kind<TurnoutRec> {
    static constexpr char letter = 'k';
    static constexpr int size = kTurnoutRecSize;
    static auto& table() { return gTurnouts; }
    static void encode(ByteWriter& w, const TurnoutRec& t) { encodeTurnout(w, t); }
    static bool decode(ByteReader& r, TurnoutRec& t) { return decodeTurnout(r, t); }
    static void keepRunTime(TurnoutRec& t, const TurnoutRec& live) { t.holder = live.holder; }
    static void offset(TurnoutRec& t, int32_t dx, int32_t dy) {
        offsetPoints(t.legs, lastTurnoutLeg(t), dx, dy);  // an unused leg shifted would be a phantom leg
        offsetPoints(&t.centre, 0, dx, dy);
    }
    static void draw(TurnoutRec& t, int erase) { drawTurnout(t, erase, 1); }
    static void remove(int index, int journal) { deleteTurnout(index, journal); }
};

template <>
struct Kind<SignalRec> {
    static constexpr char letter = 's';
    static constexpr int size = kSignalRecSize;
    static auto& table() { return gSignals; }
    static void encode(ByteWriter& w, const SignalRec& s) { encodeSignal(w, s, signalBlockLink(s)); }
    static bool decode(ByteReader& r, SignalRec& s) {
        int32_t block = 0;
        return decodeSignal(r, s, block) && resolveSignalBlock(s, block);
    }
    static void keepRunTime(SignalRec&, const SignalRec&) {}
    static void offset(SignalRec& s, int32_t dx, int32_t dy) { offsetPoints(s.outline, 3, dx, dy); }
    static void draw(SignalRec& s, int erase) { drawSignal(s, erase, 1); }
    static void remove(int index, int journal) { deleteSignal(index, journal); }
};

template <>
struct Kind<OutputRec> {
    static constexpr char letter = 'o';
    static constexpr int size = kOutputRecSize;
    static auto& table() { return gOutputs; }
    static void encode(ByteWriter& w, const OutputRec& o) { encodeOutput(w, o); }
    static bool decode(ByteReader& r, OutputRec& o) { return decodeOutput(r, o); }
    static void keepRunTime(OutputRec&, const OutputRec&) {}
    static void offset(OutputRec& o, int32_t dx, int32_t dy) { offsetPoints(o.outline, 3, dx, dy); }
    static void draw(OutputRec& o, int erase) { drawOutput(o, erase, 1); }
    static void remove(int index, int journal) { deleteOutput(index, journal); }
};

template <>
struct Kind<InputRec> {
    static constexpr char letter = 'i';
    static constexpr int size = kInputRecSize;
    static auto& table() { return gInputs; }
    static void encode(ByteWriter& w, const InputRec& i) { encodeInput(w, i); }
    static bool decode(ByteReader& r, InputRec& i) { return decodeInput(r, i); }
    static void keepRunTime(InputRec&, const InputRec&) {}
    static void offset(InputRec& i, int32_t dx, int32_t dy) {
        offsetPoints(&i.anchor, 0, dx, dy);
        offsetPoints(&i.secondPoint, 0, dx, dy);
    }
    static void draw(InputRec& i, int erase) { drawInput(i, erase, 1); }
    static void remove(int index, int journal) { deleteInput(index, journal); }
};

template <class Rec>
struct KindRow {
    using K = Kind<Rec>;

    // A journal image holds the record as it was in memory, run-time state included: it comes back as
    // a loaded record would (the live record's run-time links are kept where it overwrites one).
    static bool decodeImage(const uint8_t* image, Rec& rec) {
        ByteReader r(image, K::size);
        if (!K::decode(r, rec) || !r.ok()) return false;
        settle(rec);
        return true;
    }
    static void settle(TrackRec& t) { settleLoadedRecord(t, kLayoutFileVersion); }
    static void settle(BlockRec& b) { settleLoadedRecord(b, kLayoutFileVersion); }
    static void settle(TurnoutRec& t) { settleLoadedRecord(t, kLayoutFileVersion); }
    template <class Other>
    static void settle(Other& r) { settleLoadedRecord(r); }
    static int count() { return K::table().count(); }
    static void writeImage(ByteWriter& w, const void* record, int ownIndex) {
        Rec copy = *static_cast<const Rec*>(record);
        if (ownIndex >= 0) copy.ownIndex = static_cast<decltype(copy.ownIndex)>(ownIndex);
        K::encode(w, copy);
    }
    static bool imageUsable(const uint8_t* image) {
        Rec scratch;
        return decodeImage(image, scratch);
    }
    static bool insertImage(const uint8_t* image, int index) {
        auto rec = std::make_unique<Rec>();
        if (!decodeImage(image, *rec)) return false;
        return K::table().insert(index, std::move(rec)) != nullptr;
    }
    static void overwriteImage(const uint8_t* image, int index) {
        Rec* live = K::table()[index];
        Rec rec;
        if (!live || !decodeImage(image, rec)) return;
        K::keepRunTime(rec, *live);
        rec.ownIndex = live->ownIndex;  // the slot decides, not the image
        *live = rec;
    }
    static void moveWithin(int from, int to) {
        auto& table = K::table();
        if (from == to || !table[from] || !table[to]) return;
        table.insert(to, table.takeAt(from));
    }
    static void offsetRecord(int index, int32_t dx, int32_t dy) {
        if (Rec* rec = K::table()[index]) K::offset(*rec, dx, dy);
    }
    static void draw(int index, int erase) {
        if (Rec* rec = K::table()[index]) K::draw(*rec, erase);
    }
    static constexpr ElementKindInfo row() {
        return {K::letter, K::size,     count,     writeImage, imageUsable, insertImage,
                overwriteImage, moveWithin, offsetRecord, draw, K::remove};
    }
};

const ElementKindInfo kKinds[] = {KindRow<TrackRec>::row(),  KindRow<BlockRec>::row(),  KindRow<TurnoutRec>::row(),
                                  KindRow<SignalRec>::row(), KindRow<OutputRec>::row(), KindRow<InputRec>::row()};

}  // namespace

const ElementKindInfo* elementKindInfo(char kind) {
    for (const ElementKindInfo& k : kKinds)
        if (k.kind == kind) return &k;
    return nullptr;
}

int elementRecordSize(char kind) {
    const ElementKindInfo* k = elementKindInfo(kind);
    return k ? k->recordSize : 0;
}
