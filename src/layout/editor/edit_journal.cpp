#include "layout/editor/edit_journal.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "layout/model/double_turnouts.h"
#include "layout/editor/element_kind_info.h"
#include "platform/byte_io.h"

using vestrel::ByteReader;
using vestrel::ByteWriter;

int32_t gJournalEnd = 0;

namespace {

constexpr uint8_t kMagic[4] = {'#', '*', '*', '#'};

// The sum of the interactive layout moves of this run (journalNoteLayoutMove).
LayoutOffset gMovedBy;
// Set once this run has emptied or written the file: a temp.tmp left behind by an earlier run that ended
// without deleting it holds edits of another layout, which must never be redone here.
bool gJournalStarted = false;

struct EntryHeader {
    char action = 0;
    char kind = 0;
    int16_t index = 0;
    int16_t second = 0;
    LayoutOffset offset;
};

int32_t wrappingSum(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
int32_t wrappingDifference(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// Where the layout stands relative to its stored origin, as the journal reckons it.
LayoutOffset journalOffset() {
    return {wrappingSum(gLayoutOffset.x, gMovedBy.x), wrappingSum(gLayoutOffset.y, gMovedBy.y)};
}

void writeHeader(ByteWriter& w, const EntryHeader& h) {
    w.bytes(kMagic, sizeof kMagic);
    w.ch(h.action);
    w.ch(h.kind);
    w.i16(h.index);
    w.i16(h.second);
    w.i16(h.second);
    w.i32(h.offset.x);
    w.i32(h.offset.y);
}

bool readHeader(const uint8_t* bytes, EntryHeader& h) {
    if (std::memcmp(bytes, kMagic, sizeof kMagic) != 0) return false;
    ByteReader r(bytes + sizeof kMagic, kJournalHeaderSize - sizeof kMagic);
    h.action = r.ch();
    h.kind = r.ch();
    h.index = r.i16();
    h.second = r.i16();
    r.i16();
    h.offset.x = r.i32();
    h.offset.y = r.i32();
    return r.ok();
}

bool isAction(char action) { return action == 't' || action == 'w' || action == 'v'; }
char inverse(char action) { return action == 't' ? 'v' : action == 'v' ? 't' : action; }
int entryLength(char action, int recordSize) { return (action == 'w' ? 2 * recordSize : recordSize) + 40; }

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

long fileLength(std::FILE* f) { return std::fseek(f, 0, SEEK_END) == 0 ? std::ftell(f) : -1; }

bool readAt(std::FILE* f, long pos, uint8_t* out, size_t n) {
    return pos >= 0 && std::fseek(f, pos, SEEK_SET) == 0 && std::fread(out, 1, n, f) == n;
}

// The entry whose header lies at p (redo) or whose trailer lies at p (undo), whole and checked: both copies
// of the header equal and the entry inside the file.
bool readEntry(std::FILE* f, long length, long p, bool redo, EntryHeader& h, std::vector<uint8_t>& entry) {
    uint8_t head[kJournalHeaderSize];
    if (!readAt(f, p, head, sizeof head) || !readHeader(head, h) || !isAction(h.action)) return false;
    const ElementKindInfo* kind = elementKindInfo(h.kind);
    if (!kind) return false;
    const long n = entryLength(h.action, kind->recordSize);
    const long start = redo ? p : p + kJournalHeaderSize - n;
    if (start < 0 || start + n > length) return false;
    entry.resize(static_cast<size_t>(n));
    return readAt(f, start, entry.data(), entry.size()) &&
           std::memcmp(entry.data(), entry.data() + n - kJournalHeaderSize, kJournalHeaderSize) == 0;
}

bool inTable(int index, const ElementKindInfo& k) { return index >= 0 && index < k.count(); }

// Carries out one entry's action (already inverted for undo) on its table; false changes nothing.
bool applyEntry(const ElementKindInfo& k, char action, const EntryHeader& h, bool redo, const uint8_t* image) {
    int target = h.index;
    switch (action) {
    case 't':
        if (h.index < 0 || h.index > k.count() || !k.insertImage(image, h.index)) return false;
        break;
    case 'v':
        if (!inTable(h.index, k)) return false;
        k.remove(h.index, 0);
        return true;
    default:  // 'w'
        if (!inTable(h.index, k) || !inTable(h.second, k) || !k.imageUsable(image)) return false;
        if (redo) {
            k.moveWithin(h.second, h.index);
        } else {
            k.moveWithin(h.index, h.second);
            target = h.second;
        }
        k.draw(target, 1);
        k.overwriteImage(image, target);
        break;
    }
    const LayoutOffset now = journalOffset();
    k.offsetRecord(target, wrappingDifference(now.x, h.offset.x), wrappingDifference(now.y, h.offset.y));
    // Inserting or moving a turnout shifts the table indexes that link the halves of double turnouts;
    // relinked before drawing, which marks a linked half by its link.
    if (k.kind == 'k') relinkDoubleTurnouts();
    k.draw(target, 0);
    return true;
}

}  // namespace

int journalRecordEdit(char action, char kind, const void* record, const void* oldRecord, int index, int secondIndex) {
    const ElementKindInfo* k = elementKindInfo(kind);
    if (!record || !k || !isAction(action) || (action == 'w' && !oldRecord)) return 0;
    const int32_t previousEnd = gJournalEnd;
    journalTruncate(gJournalEnd);
    const EntryHeader h{action, kind, static_cast<int16_t>(index),
                        static_cast<int16_t>(action == 'w' ? secondIndex : 0), journalOffset()};
    ByteWriter w;
    writeHeader(w, h);
    k->writeImage(w, record, index);
    if (action == 'w') k->writeImage(w, oldRecord, -1);
    writeHeader(w, h);

    File f(std::fopen(kEditJournalFile, "ab"));
    if (!f) return 0;
    const bool written = std::fwrite(w.data().data(), 1, w.size(), f.get()) == w.size() && std::fflush(f.get()) == 0;
    const long length = fileLength(f.get());
    f.reset();
    if (!written || length < 0) {
        journalTruncate(previousEnd);  // no half entry stays behind
        return 0;
    }
    gJournalEnd = static_cast<int32_t>(length);
    gJournalStarted = true;
    return 1;
}

int journalUndoRedo(int direction) {
    if (direction >= 2) return journalTruncate(0);
    if (direction < 0 || !gJournalStarted) return 0;
    File f(std::fopen(kEditJournalFile, "rb"));
    if (!f) return 0;
    const long length = fileLength(f.get());
    if (length <= 0 || length < gJournalEnd) return 0;
    const bool redo = direction == 1;
    EntryHeader h;
    std::vector<uint8_t> entry;
    if (!readEntry(f.get(), length, redo ? gJournalEnd : gJournalEnd - kJournalHeaderSize, redo, h, entry)) return 0;
    f.reset();

    const ElementKindInfo& k = *elementKindInfo(h.kind);
    const int n = static_cast<int>(entry.size());
    // Redo reads the record after the edit; undo the record just before the trailer (for 'w' the old one).
    const uint8_t* image = redo ? entry.data() + kJournalHeaderSize : entry.data() + n - kJournalHeaderSize - k.recordSize;
    if (!applyEntry(k, redo ? h.action : inverse(h.action), h, redo, image)) return 0;
    gJournalEnd += redo ? n : -n;
    return n;
}

int journalTruncate(int32_t length) {
    std::error_code ec;
    if (length < 0 || !std::filesystem::is_regular_file(kEditJournalFile, ec)) return 0;
    std::filesystem::resize_file(kEditJournalFile, static_cast<std::uintmax_t>(length), ec);
    if (ec) {
        gJournalEnd = 0;
        return 0;
    }
    gJournalEnd = length;
    gJournalStarted = true;
    return 1;
}

void emptyEditJournal() { journalUndoRedo(2); }

void deleteEditJournal() {
    std::remove(kEditJournalFile);
    gJournalEnd = 0;
    gJournalStarted = false;
}

void journalNoteLayoutMove(int32_t dx, int32_t dy) {
    gMovedBy.x = wrappingSum(gMovedBy.x, dx);
    gMovedBy.y = wrappingSum(gMovedBy.y, dy);
}
