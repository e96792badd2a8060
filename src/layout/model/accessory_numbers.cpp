#include "layout/model/accessory_numbers.h"

#include <vector>

#include "layout/model/layout_model.h"

int32_t gLastFreeAddress = 0;
int gLastFreeAddressKind = 0;

namespace {

constexpr int kNumbers = 10000;
constexpr uint8_t kRedButton = 1;
constexpr uint8_t kGreenButton = 2;
constexpr uint8_t kWholeAddress = kRedButton | kGreenButton;

// Numbers read from a file may lie anywhere; only 1..9999 have a mark.
bool markable(int n) { return n >= 1 && n < kNumbers; }
uint8_t buttonOf(int key) { return key & 1 ? kGreenButton : kRedButton; }

std::vector<uint8_t> marksInUse() {
    std::vector<uint8_t> marks(kNumbers, 0);
    auto markWhole = [&](int n) {
        if (markable(n)) marks[n] = kWholeAddress;
    };
    for (const TurnoutRec* t : gTurnouts) markWhole(t->number);
    for (const SignalRec* s : gSignals) {
        markWhole(s->number);
        markWhole(s->orangeNumber);
    }
    for (const OutputRec* o : gOutputs)
        if (markable(o->key / 2)) marks[o->key / 2] |= buttonOf(o->key);
    return marks;
}

void freeOwn(std::vector<uint8_t>& marks, int own, int kind) {
    if (kind == kAddressOutput) {
        if (markable(own / 2)) marks[own / 2] &= static_cast<uint8_t>(~buttonOf(own));
    } else if (markable(own)) {
        marks[own] = 0;
    }
}

// The remembered base converted between output keys and plain numbers.
int rememberedBase(int kind) {
    if (gLastFreeAddressKind == kAddressOutput && kind != kAddressOutput) return gLastFreeAddress / 2;
    if (gLastFreeAddressKind != 0 && gLastFreeAddressKind != kAddressOutput && kind == kAddressOutput)
        return gLastFreeAddress * 2;
    return gLastFreeAddress;
}

}  // namespace

int findFreeAddress(int start, int own, int own2, int kind, int step) {
    std::vector<uint8_t> marks = marksInUse();
    freeOwn(marks, own, kind);
    freeOwn(marks, own2, kind);
    int candidate = start != 0 ? start + step : step + rememberedBase(kind);
    if (step == 0) {
        gLastFreeAddress = candidate;
        gLastFreeAddressKind = kind;
        step = 1;
    }
    if (kind == kAddressOutput) {
        if (candidate == 1) candidate = 2;
        for (int key = candidate; key > 1 && key < 2 * kNumbers - 1; key += step)
            if (!(marks[key / 2] & buttonOf(key))) return key;
        return 0;
    }
    for (int n = candidate; n > 0 && n < kNumbers; n += step)
        if (marks[n] == 0) return n;
    return 0;
}
