#include "shell/model/name_sort.h"

#include <algorithm>

namespace {

// True when a sorts before b.
bool nameBefore(const char* a, const char* b, char terminator) {
    for (int i = 0; i < kSortNamesCompared; ++i) {
        const signed char ca = static_cast<signed char>(a[i]);
        const signed char cb = static_cast<signed char>(b[i]);
        if (ca != cb) return ca < cb;
        if (ca == terminator || ca == '\0') return false;
    }
    return false;
}

}  // namespace

// Repeated selection of the smallest remaining name. The smallest is moved to its place by shifting the
// names before it, not by swapping, so that equal names never change their order.
void sortNames(const char** names, int n, char terminator) {
    n = std::min(n, kSortNamesMax);
    for (int place = 0; place < n - 1; ++place) {
        int smallest = place;
        for (int i = place + 1; i < n; ++i)
            if (nameBefore(names[i], names[smallest], terminator)) smallest = i;
        std::rotate(names + place, names + smallest, names + smallest + 1);
    }
}
