#pragma once
// The element kinds the edit journal replays, one row per kind letter: 'v' track, 'b' block,
// 'k' turnout or crossing, 's' signal, 'o' output, 'i' input. A row reaches its table, stored record
// image, point list, drawing and delete operation by table index, so that the journal needs no knowledge
// of the record types.
//
// Record images are the stored byte images of the layout codecs (layout_codec.h): a signal names its block
// by table index, never by address, so that an image read back later links to the block that is then at
// that index.
#include <cstdint>

#include "platform/byte_io.h"

struct ElementKindInfo {
    char kind = 0;
    int recordSize = 0;  // S, the stored record size
    int (*count)() = nullptr;
    // The record's stored image; ownIndex >= 0 is written as its own index, -1 keeps the record's.
    void (*writeImage)(vestrel::ByteWriter& w, const void* record, int ownIndex) = nullptr;
    // Whether S bytes are an image this kind can take (complete, counts in range, links inside the tables).
    bool (*imageUsable)(const uint8_t* image) = nullptr;
    // A new record from a usable image, inserted at index 0..count; false when the table is full.
    bool (*insertImage)(const uint8_t* image, int index) = nullptr;
    // Reads a usable image over the record at index. The record stays the same object, so every pointer
    // to it stays good; run-time links that the image does not hold (trains on it) are kept.
    void (*overwriteImage)(const uint8_t* image, int index) = nullptr;
    // Moves the record at from to slot to; the records in between shift by one place.
    void (*moveWithin)(int from, int to) = nullptr;
    // Adds (dx, dy) to the record's points (a plain turnout's unused leg stays at 0,0).
    void (*offsetRecord)(int index, int32_t dx, int32_t dy) = nullptr;
    // Draws (erase 0) or erases (erase 1) the record on the diagram and the back buffer.
    void (*draw)(int index, int erase) = nullptr;
    // The kind's delete operation (element_delete.h).
    void (*remove)(int index, int journal) = nullptr;
};

// The row of a kind letter; nullptr for any other letter (record size 0: nothing to do).
const ElementKindInfo* elementKindInfo(char kind);
// S of a kind letter, 0 for a letter that is not journalled.
int elementRecordSize(char kind);
