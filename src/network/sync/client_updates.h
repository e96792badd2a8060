#pragma once
// The client takes over the server's data broadcasts: a locomotive's data block and speed table, a
// wagon's data and length, a block's properties, a turntable's settings, a route line, a step, a
// formula and the function decoders' changes. Each record finds its object by index and number first;
// a record for another object, or with values no dialog could give, is passed over.
#include <cstdint>

// The record of `length` bytes at r (kind 2, 3, 5, 10, 13, 15, 16 or 35).
void netApplyDataRecord(const uint8_t* r, int length);
