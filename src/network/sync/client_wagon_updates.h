#pragma once
// A synchronised client follows the server's wagon and helper broadcasts with the same operations the
// server ran, so its mirror keeps the same zones, chains and positions; nothing it does goes back to
// the server or to any hardware.
#include <cstdint>

struct LocoRec;

// A kind 3 record of `length` bytes at r.
void netApplyWagonRecord(const uint8_t* r, int length);
// Kind 2 codes 18 (blocked reason), 40 (put on the track at a block), 41 (off the track), 42 (deleted)
// and 51 (helper link) for the locomotive. False for another code.
bool netApplyLocoChange(LocoRec* loco, int code, int c, const uint8_t* r, int length);
// Kind 2 code 0: the server added locomotive `number`; the same one is added here.
void netApplyLocoAdded(int number);
// Kind 35 codes 0 (the server added the decoder with this address) and 42 (it deleted the decoder at
// this slot, checked against its address): the same is done here through the decoder dialog.
void netApplyFunctionDecoderAdded(int address);
void netApplyFunctionDecoderDeleted(int address, int slot);
