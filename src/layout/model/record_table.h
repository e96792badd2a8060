#pragma once
// A fixed-capacity table that owns its records. Entries 0..count-1 are valid in insertion order;
// removing an entry frees its record and moves every later entry down, and every change rewrites
// the records' own index fields (ownIndex, or slot for the train records) so that they always equal
// the table index.
#include <algorithm>
#include <cassert>
#include <memory>
#include <utility>

template <class Rec, int Capacity>
class RecordTable {
public:
    static constexpr int capacity = Capacity;

    RecordTable() = default;
    RecordTable(const RecordTable&) = delete;
    RecordTable& operator=(const RecordTable&) = delete;
    ~RecordTable() { clear(); }

    int count() const { return count_; }
    const int& countRef() const { return count_; }
    bool full() const { return count_ >= Capacity; }
    Rec* operator[](int i) const { return (i >= 0 && i < count_) ? slots_[i] : nullptr; }
    Rec* at(int i) const { return (*this)[i]; }
    Rec** begin() { return slots_; }
    Rec** end() { return slots_ + count_; }
    Rec* const* begin() const { return slots_; }
    Rec* const* end() const { return slots_ + count_; }

    // Takes ownership; returns the stored record, or nullptr (record freed) when the table is full.
    Rec* append(std::unique_ptr<Rec> rec) { return insert(count_, std::move(rec)); }
    Rec* insert(int index, std::unique_ptr<Rec> rec) {
        if (full() || index < 0 || index > count_ || !rec) return nullptr;
        for (int i = count_; i > index; --i) slots_[i] = slots_[i - 1];
        slots_[index] = rec.release();
        ++count_;
        renumberFrom(index);
        return slots_[index];
    }
    // Frees the record at index and closes the gap. Out-of-range indexes do nothing.
    void removeAt(int index) {
        if (index < 0 || index >= count_) return;
        delete slots_[index];
        for (int i = index; i < count_ - 1; ++i) slots_[i] = slots_[i + 1];
        slots_[--count_] = nullptr;
        renumberFrom(index);
    }
    // Gives up ownership of the record at index without freeing it.
    std::unique_ptr<Rec> takeAt(int index) {
        if (index < 0 || index >= count_) return nullptr;
        std::unique_ptr<Rec> r(slots_[index]);
        for (int i = index; i < count_ - 1; ++i) slots_[i] = slots_[i + 1];
        slots_[--count_] = nullptr;
        renumberFrom(index);
        return r;
    }
    // Replaces the record at index (the old one is freed).
    Rec* replace(int index, std::unique_ptr<Rec> rec) {
        if (index < 0 || index >= count_ || !rec) return nullptr;
        delete slots_[index];
        slots_[index] = rec.release();
        renumberFrom(index);
        return slots_[index];
    }
    void swap(int a, int b) {
        if (a < 0 || b < 0 || a >= count_ || b >= count_) return;
        std::swap(slots_[a], slots_[b]);
        renumberFrom(a < b ? a : b);
    }
    // Moves the entry at from to index to; the entries between shift by one.
    void move(int from, int to) {
        if (from < 0 || to < 0 || from >= count_ || to >= count_ || from == to) return;
        Rec* r = slots_[from];
        if (from < to) std::copy(slots_ + from + 1, slots_ + to + 1, slots_ + from);
        else std::copy_backward(slots_ + to, slots_ + from, slots_ + from + 1);
        slots_[to] = r;
        renumberFrom(std::min(from, to));
    }
    // Orders the entries by less; equal entries keep their order.
    template <class Less>
    void stableSort(Less less) {
        std::stable_sort(slots_, slots_ + count_, [&](const Rec* a, const Rec* b) { return less(*a, *b); });
        renumberFrom(0);
    }
    int indexOf(const Rec* r) const {
        for (int i = 0; i < count_; ++i)
            if (slots_[i] == r) return i;
        return -1;
    }
    // The same for a record that is certainly alive (one that another record links to: links are
    // cleared before a record is freed): its own index field names its slot, so no search is needed;
    // a record that is not where it says (a copy) is looked for all the same.
    int indexOfLinked(const Rec* r) const {
        if (!r) return -1;
        if constexpr (requires(const Rec& x) { x.ownIndex; }) {
            const int own = static_cast<int>(r->ownIndex);
            if (own >= 0 && own < count_ && slots_[own] == r) return own;
        }
        return indexOf(r);
    }
    void clear() {
        for (int i = 0; i < count_; ++i) {
            delete slots_[i];
            slots_[i] = nullptr;
        }
        count_ = 0;
    }

private:
    void renumberFrom(int from) {
        if constexpr (requires(Rec r) { r.ownIndex; }) {
            for (int i = from; i < count_; ++i) slots_[i]->ownIndex = static_cast<decltype(slots_[i]->ownIndex)>(i);
        } else if constexpr (requires(Rec r) { r.slot; }) {
            for (int i = from; i < count_; ++i) slots_[i]->slot = static_cast<decltype(slots_[i]->slot)>(i);
        }
    }
    Rec* slots_[Capacity] = {};
    int count_ = 0;
};
