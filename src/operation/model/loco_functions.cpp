#include "operation/model/loco_functions.h"

#include "operation/model/train_model.h"

uint32_t locoFunctionWord(const LocoRec& loco) {
    return loco.run.functionBits1 | (static_cast<uint32_t>(loco.run.functionBits2) << 8) |
           (static_cast<uint32_t>(loco.run.functionBits3) << 16);
}

int isFunctionOn(uint32_t word, int n) {
    if (n < 0 || n > 20) return 0;
    const int bit = n == 0 ? 4 : n <= 4 ? n - 1 : n + 3;
    return (word >> bit) & 1;
}
