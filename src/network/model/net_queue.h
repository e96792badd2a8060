#pragma once
// The outgoing network buffer and the functions that queue records into it.
// A record is queued only when the caller's role (30 server broadcast, 40 client request) equals
// gNetLinkState; a stand-alone program therefore queues nothing. Each returns 1 when queued.
#include <cstdint>

constexpr int kNetBufferSize = 2000;
extern uint8_t gNetOutBuffer[kNetBufferSize];
extern int gNetOutFill;

int netQueueRecord(int role, int kind, int code, int a, int b, int c);
int netQueueBlobRecord(int role, int kind, int code, int a, int b, const uint8_t* bytes, int n);
// Appends one more 16-bit value to the record just queued; 0 when the buffer is full.
int netAppendValue(int value);
struct LocoRec;
// The locomotive's state record for the clients (server only).
void netQueueLocoState(const LocoRec* loco);
