#pragma once
// The outgoing network buffer and the functions that queue records into it.
// A record is queued only when the caller's role (30 server broadcast, 40 client request) equals
// gNetLinkState; a stand-alone program therefore queues nothing. Each returns 1 when the record was
// appended whole and 0 otherwise; a refused record is lost. The limits keep every record inside the
// buffer with a little room to spare.
#include <cstdint>

struct LocoRec;

constexpr int kNetBufferSize = 2000;
extern uint8_t gNetOutBuffer[kNetBufferSize];
extern int gNetOutFill;
// Received bytes: a client's read with the bytes carried over from the read before; a server's read
// of one client.
extern uint8_t gNetInBuffer[kNetBufferSize];

// NetUpdateRec (8 bytes); refused at a fill of 1992 or more.
int netQueueRecord(int role, int kind, int code, int a, int b, int c);
// NetUpdateWideRec (12 bytes): kind, code, five int16; refused at 1988 or more.
int netQueueRecord5(int role, int kind, int code, int v1, int v2, int v3, int v4, int v5);
// NetBlobRec: kind, code, a, b and n raw bytes; refused at 1994 - n or more.
int netQueueBlobRecord(int role, int kind, int code, int a, int b, const uint8_t* bytes, int n);
// The locomotive state record (12 bytes), only while a client is synchronised (gNetLinkState 30);
// refused at 1988 or more. A queued state marks the train changed (run flags A 0x08), so that its
// position goes with it in the same send pass: a client learns of a new speed up to two ticks after
// the train took it, and would otherwise stay as far behind as the train went meanwhile.
int netQueueLocoState(LocoRec& loco);
// A table record of the full copy: 0, the table code and the size-byte record image. No role test;
// refused at 1998 - size or more.
int netQueueTableRecord(int tableCode, const uint8_t* image, int size);
// The settings record (38 bytes). No role test; refused above 1961.
int netQueueSettings();
// Copies the n received bytes that end at position end of gNetInBuffer (a request as the server
// received it) into the outgoing buffer. Only the server's request handling calls it, for a
// synchronised client, so it has no role test; refused at 2000 - n or more.
int netEchoRecord(int end, int n);
// Appends one more 16-bit value to the record just queued; 0 when the buffer is full.
int netAppendValue(int value);
struct WagonRec;
// The wagon's data for the clients (server broadcast 3/37): its slot and the 68 bytes of its record
// from the length units to the slot.
int netQueueWagonData(const WagonRec& wagon);
