#pragma once
// Free accessory numbers. Turnouts, signals (main and orange light) and outputs share the numbers
// 1..9999; an output takes only one of the two buttons of its address (key = address * 2 + button,
// 1 green, 0 red), so the other button of that address stays free for another output.
#include <cstdint>

constexpr int kAddressTurnout = 1;
constexpr int kAddressSignal = 2;
constexpr int kAddressOutput = 3;

// The base of the next search that starts from 0, and the kind it was taken for (0 none yet).
extern int32_t gLastFreeAddress;
extern int gLastFreeAddressKind;

// A free number for an element of the kind (an output key for kind 3), searching from start + step (or
// from the remembered base + step when start is 0) in steps of step, with the element's own numbers own
// and own2 counted as free. Step 0 remembers the start as the base and searches upwards from it, so that
// it answers the number itself when that is free. 0 when none is free.
int findFreeAddress(int start, int own, int own2, int kind, int step);
