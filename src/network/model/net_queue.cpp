#include "network/model/net_queue.h"

#include <cstring>

#include "network/model/net_records.h"
#include "network/model/net_state.h"
#include "operation/model/train_codec.h"
#include "operation/model/train_model.h"
#include "platform/byte_io.h"

uint8_t gNetOutBuffer[kNetBufferSize];
int gNetOutFill = 0;
uint8_t gNetInBuffer[kNetBufferSize];

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
void putBytes(const uint8_t* bytes, int n) {
    if (n > 0) std::memcpy(gNetOutBuffer + gNetOutFill, bytes, static_cast<size_t>(n));
    gNetOutFill += n;
}
}  // namespace

int netQueueRecord(int role, int kind, int code, int a, int b, int c) {
    if (role != gNetLinkState || gNetOutFill >= kNetBufferSize - 8) return 0;
    putHeader(kind, code, a, b);
    put16(c);
    return 1;
}

int netQueueRecord5(int role, int kind, int code, int v1, int v2, int v3, int v4, int v5) {
    if (role != gNetLinkState || gNetOutFill >= kNetBufferSize - 12) return 0;
    putHeader(kind, code, v1, v2);
    put16(v3);
    put16(v4);
    put16(v5);
    return 1;
}

int netQueueBlobRecord(int role, int kind, int code, int a, int b, const uint8_t* bytes, int n) {
    if (role != gNetLinkState || n < 0 || gNetOutFill >= kNetBufferSize - 6 - n) return 0;
    putHeader(kind, code, a, b);
    putBytes(bytes, n);
    return 1;
}

int netQueueLocoState(LocoRec& loco) {
    if (gNetLinkState != 30 || gNetOutFill >= kNetBufferSize - kNetLocoStateSize) return 0;
    vestrel::ByteWriter w;
    encodeLocoStateRecord(w, loco);
    putBytes(w.data().data(), static_cast<int>(w.size()));
    loco.run.runFlagsA |= 0x08;
    return 1;
}

int netQueueTableRecord(int tableCode, const uint8_t* image, int size) {
    if (size < 0 || gNetOutFill >= kNetBufferSize - 2 - size) return 0;
    put8(0);
    put8(tableCode);
    putBytes(image, size);
    return 1;
}

int netQueueSettings() {
    if (gNetOutFill > kNetBufferSize - kNetSettingsSize - 1) return 0;
    vestrel::ByteWriter w;
    encodeSettingsRecord(w);
    putBytes(w.data().data(), static_cast<int>(w.size()));
    return 1;
}

int netEchoRecord(int end, int n) {
    if (n <= 0 || end < n || end > kNetBufferSize || gNetOutFill >= kNetBufferSize - n) return 0;
    putBytes(gNetInBuffer + end - n, n);
    return 1;
}

int netAppendValue(int value) {
    if (gNetOutFill > kNetBufferSize - 2) return 0;
    put16(value);
    return 1;
}

int netQueueWagonData(const WagonRec& wagon) {
    if (gNetLinkState != 30) return 0;
    vestrel::ByteWriter w;
    encodeWagon(w, wagon, wagonLinksOf(wagon, true));
    return netQueueBlobRecord(30, 3, 37, 0, wagon.slot, w.data().data() + kWagonDataOffset, kWagonDataSize);
}
