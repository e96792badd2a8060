#include "network/model/net_record_lengths.h"

#include <cstdint>

namespace {

constexpr uint8_t S = 1;  // sent by the server
constexpr uint8_t C = 2;  // sent by a client
constexpr uint8_t B = S | C;

struct LengthRow {
    uint8_t kind;
    uint8_t code;
    uint8_t directions;
    int16_t length;
};

// Blob records are the 6 header bytes and their data; wide records 12 bytes.
constexpr LengthRow kLengths[] = {
    {1, 1, S, 58},  // end of the full copy: two 26-byte names, canvas width and height - 23
    // Locomotives.
    {2, 0, S, 8},   {2, 12, B, 8},  {2, 13, B, 8},  {2, 18, S, 8},  {2, 24, S, kNetVariableLength},
    {2, 25, S, 8},  {2, 26, S, 12}, {2, 26, C, 8},  {2, 27, B, 8},  {2, 28, B, 8},
    {2, 29, B, 8},  {2, 30, B, 8},  {2, 31, B, 8},  {2, 33, B, 8},  {2, 34, B, 8},
    {2, 35, B, 8},  {2, 36, B, 8},
    {2, 37, B, 78},   // 72 bytes of the locomotive from its maximum speed on
    {2, 38, B, 136},  // 127-byte speed table, a spare byte, int16 maximum speed
    {2, 40, B, 10},   // bytes 8 and 9: block number and block index
    {2, 41, B, 8},  {2, 42, B, 8},  {2, 43, S, 8},  {2, 45, S, 8},
    {2, 51, S, 12},  // helper link
    // Wagons.
    {3, 0, S, 8},   {3, 18, S, 8},
    {3, 37, B, 74},  // 68 bytes of the wagon from its length units on
    {3, 39, B, 8},
    {3, 40, B, 14},  // block number, block index, mode, the point as two int16
    {3, 41, B, 8},  {3, 42, S, 8},
    {3, 46, S, 12},  // the locomotive's number and index in bytes 6..9
    {3, 47, B, 8},
    {3, 51, B, 12},  // kind in c, int32 number in bytes 8..11
    {3, 52, S, 16},  // two int32 coordinates of the coupling point
    {3, 53, S, 8},
    // Layout elements.
    {5, 9, S, 8},   {5, 37, B, 22}, {5, 44, S, 8},
    {6, 30, B, 8},  {6, 37, B, 8},
    {6, 44, S, 10},  // the drawing appends the holder's index + 1
    {6, 44, C, 8},
    {7, 37, B, 8},  {7, 44, B, 8},
    {8, 37, B, 8},  {8, 44, B, 8},
    {9, 44, S, 8},
    {10, 37, B, 32},  // 20 bytes from the decoder system, 6 from the start address
    {10, 44, B, 8},
    // Routes and step programs.
    {12, 48, C, 8},
    {13, 37, B, 26},
    {14, 0, B, 8},  {14, 2, B, 8},  {14, 15, B, 8}, {14, 19, B, 8}, {14, 20, B, 8},
    {14, 42, B, 8}, {14, 44, B, 8}, {14, 48, B, 8},
    {15, 37, B, 16},
    {16, 0, B, 8},  {16, 16, B, 8}, {16, 37, B, 28}, {16, 42, B, 8},
    // Whole-program state.
    {18, 18, S, 8}, {19, 19, S, 8}, {21, 21, S, 38}, {22, 22, S, 14}, {23, 23, S, 8},
    // Function decoders.
    {35, 0, S, 8},  {35, 2, B, 8},  {35, 35, B, 8}, {35, 37, B, 18}, {35, 48, B, 8}, {35, 49, B, 28},
    {35, 42, S, 8}, {35, 50, B, 8}, {35, 51, B, 8},
    {45, 45, B, 8},
    {54, 54, S, 32},  // the 26-byte locomotive file name
};

struct TableRow {
    uint8_t code;
    int16_t size;
};

// Record image sizes of the full copy's tables.
constexpr TableRow kTableSizes[] = {
    {4, 52},  {5, 464}, {6, 60},  {7, 56},  {8, 48},  {9, 32},  {10, 300}, {11, 116}, {12, 36},
    {13, 20}, {14, 56}, {15, 10}, {16, 40}, {2, 192}, {38, 128}, {3, 156}, {35, 348},
};

}  // namespace

int netRecordLength(int kind, int code, NetDirection direction) {
    const uint8_t bit = direction == NetDirection::ToClient ? S : C;
    for (const LengthRow& r : kLengths)
        if (r.kind == kind && r.code == code && (r.directions & bit)) return r.length;
    return 0;
}

int netTableRecordLength(int tableCode) {
    for (const TableRow& t : kTableSizes)
        if (t.code == tableCode) return 2 + t.size;
    return 0;
}
