#pragma once
// The length of every network record, by kind, code and direction, for both receivers. Records carry
// no length of their own, so a receiver that meets a kind and code it does not know cannot go on.

enum class NetDirection {
    ToClient,  // a broadcast of the server
    ToServer,  // a request of a client
};

// The train position record (kind 2 code 24): 34 bytes and 56 per wagon of the train's chains, told
// by the record itself.
constexpr int kNetVariableLength = -1;

// The record's whole length in bytes, kNetVariableLength for the train position record, 0 when that
// kind and code is not sent in that direction. Kind 0 (the full copy's table records) is answered by
// netTableRecordLength.
int netRecordLength(int kind, int code, NetDirection direction);
// A table record of the full copy: the two header bytes and the record image; 0 for an unknown code.
int netTableRecordLength(int tableCode);
// The train position record of a train with that many wagons in its two chains.
constexpr int netTrainPositionLength(int wagons) { return 34 + 56 * wagons; }
