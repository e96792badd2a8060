#pragma once
// The network records whose whole layout is known here, written field by field (little-endian):
// the locomotive state record, the settings record and the handshake texts. The common 8-byte
// record, the wide record and the blob record are written by the queue functions (net_queue.h).
#include <cstdint>
#include <vector>

#include "platform/byte_io.h"

struct LocoRec;

constexpr int kNetRecordSize = 8;       // kind, code, int16 a, b, c
constexpr int kNetWideRecordSize = 12;  // kind, code, five int16
constexpr int kNetBlobHeaderSize = 6;   // kind, code, int16 a, b, then the bytes
constexpr int kNetTableHeaderSize = 2;  // 0, table code, then the record image
constexpr int kNetLocoStateSize = 12;
constexpr int kNetSettingsSize = 38;
constexpr int kNetEndRecordSize = 58;

// Kind 2 code 26: number, gLocs index, target step, effective (counted-down) step delay, 0xFF when
// the train is halted (run flags A 0x01) else 0, and a zero byte.
void encodeLocoStateRecord(vestrel::ByteWriter& w, const LocoRec& loco);
// Kind 21 code 21: the settings a client takes over from its server (gSettings, scale, turnout size
// and zoom digits, gTimeBase, gSpeedFactor).
void encodeSettingsRecord(vestrel::ByteWriter& w);
// A client takes the settings record (38 bytes at the reader, its kind and code first) into its own
// settings; the server's speed factor is returned, not taken over (the client's follows its own tick).
float decodeSettingsRecord(vestrel::ByteReader& r);

// The server's banner: the maker word and the version text with its zero.
std::vector<uint8_t> netBanner(const char* version);
// The client's answer: its program word and the version text with its zero.
std::vector<uint8_t> netAnswer(const char* version);
