#pragma once
// A locomotive's function states as one word: the three function bytes of its running block, F0 at
// bit 4, F1..F4 at bits 0..3, F5..F20 at bits 8..23.
#include <cstdint>

struct LocoRec;

uint32_t locoFunctionWord(const LocoRec& loco);
// 1 when function n (0..20) is on in the word.
int isFunctionOn(uint32_t word, int n);
