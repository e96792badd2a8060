#include "network/model/net_queue.h"

#include "network/model/net_state.h"

uint8_t gNetOutBuffer[kNetBufferSize];
int gNetOutFill = 0;

namespace {
void put8(int v) { gNetOutBuffer[gNetOutFill++] = static_cast<uint8_t>(v); }
void put16(int v) {
    put8(v & 0xFF);
    put8((v >> 8) & 0xFF);
}
void putHeader(int kind, int code, int a, int b) {
    put8(kind);
    put8(code);
    put16(a);
    put16(b);
}
}  // namespace

int netQueueRecord(int role, int kind, int code, int a, int b, int c) {
    if (role != gNetLinkState || gNetOutFill >= kNetBufferSize - 8) return 0;
    putHeader(kind, code, a, b);
    put16(c);
    return 1;
}

int netQueueBlobRecord(int role, int kind, int code, int a, int b, const uint8_t* bytes, int n) {
    if (role != gNetLinkState || n < 0 || gNetOutFill >= kNetBufferSize - 6 - n) return 0;
    putHeader(kind, code, a, b);
    for (int k = 0; k < n; ++k) put8(bytes[k]);
    return 1;
}

int netAppendValue(int value) {
    if (gNetOutFill > kNetBufferSize - 2) return 0;
    put16(value);
    return 1;
}

// The locomotive state record is not laid out yet: nothing is sent.
void netQueueLocoState(const LocoRec*) {}
