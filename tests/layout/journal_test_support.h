#pragma once
// Helpers for the edit-journal and deletion tests: the layout as the editor shows it, the own-index check,
// walking the journal and a readable builder of journal bytes.
#include <cstdint>
#include <string>
#include <vector>

#include "layout/editor/edit_journal.h"
#include "layout/draw/element_draw.h"
#include "layout/model/layout_model.h"

namespace journaltest {

// Draws every element once, as the editor shows a layout, so that the marks drawing leaves in the run-time
// bytes are the same before and after an edit.
inline void drawEveryElement() {
    for (TrackRec* t : gTracks) drawTrack(*t, 0, 1);
    for (BlockRec* b : gBlocks) drawBlock(*b, 0, 1);
    for (TurnoutRec* t : gTurnouts) drawTurnout(*t, 0, 1);
    for (SignalRec* s : gSignals) drawSignal(*s, 0, 1);
    for (OutputRec* o : gOutputs) drawOutput(*o, 0, 1);
    for (InputRec* i : gInputs) drawInput(*i, 0, 1);
    for (TurntableRec* t : gTurntables) drawTurntable(*t, 0, 1);
}

template <class Table>
bool ownIndexesTrue(const Table& table) {
    for (int i = 0; i < table.count(); ++i)
        if (table[i]->ownIndex != i) return false;
    return true;
}

inline bool everyOwnIndexTrue() {
    return ownIndexesTrue(gTracks) && ownIndexesTrue(gBlocks) && ownIndexesTrue(gTurnouts) &&
           ownIndexesTrue(gSignals) && ownIndexesTrue(gOutputs) && ownIndexesTrue(gInputs) &&
           ownIndexesTrue(gTurntables);
}

// Undoes (direction 0) or redoes (1) until nothing is left; the number of entries walked.
inline int walkJournal(int direction) {
    int n = 0;
    while (journalUndoRedo(direction) > 0) ++n;
    return n;
}

// Little-endian bytes written field by field, for expected file contents.
class Bytes {
public:
    Bytes& text(const std::string& s) {
        data_.insert(data_.end(), s.begin(), s.end());
        return *this;
    }
    Bytes& u8(int v) {
        data_.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    Bytes& i16(int v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
    Bytes& i32(int32_t v) {
        const auto u = static_cast<uint32_t>(v);
        return u8(u & 0xFF).u8((u >> 8) & 0xFF).u8((u >> 16) & 0xFF).u8(u >> 24);
    }
    Bytes& point(int x, int y) { return i32(x).i32(y); }
    Bytes& zeros(int n) {
        data_.insert(data_.end(), static_cast<size_t>(n), 0);
        return *this;
    }
    Bytes& append(const std::vector<uint8_t>& more) {
        data_.insert(data_.end(), more.begin(), more.end());
        return *this;
    }
    const std::vector<uint8_t>& data() const { return data_; }

private:
    std::vector<uint8_t> data_;
};

// The 20-byte header (and trailer) of a journal entry, from the entry table.
inline std::vector<uint8_t> entryHeader(char action, char kind, int index, int second, int32_t offsetX,
                                        int32_t offsetY) {
    return Bytes().text("#**#").u8(action).u8(kind).i16(index).i16(second).i16(second).i32(offsetX).i32(offsetY).data();
}

}  // namespace journaltest
