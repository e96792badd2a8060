#pragma once
// The decoder-activity marker: a 9 x 9 square drawn at a turnout, signal or output while the accessory
// decoder that serves it has one of its outputs switched on.
#include <cstdint>

// address: the element's decoder address (nothing above 2047); firstOutput and span: the outputs of its
// decoder that belong to it; state: its marker bits, 0x02 a command was queued (the square is drawn and
// the bit becomes 0x04), 0x04 the square stands (it is restored from the back buffer, both bits cleared,
// once the decoder has no switch-off pending). The caller sets pen and brush of the diagram canvas.
void drawDecoderActivityMarker(int address, int firstOutput, int span, int x, int y, uint8_t& state);
