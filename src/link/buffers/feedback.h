#pragma once
// Feedback contacts: reading and setting them in the feedback image, and decoding a complete image
// into the occupied sections of the blocks (GUI thread).
#include <cstdint>

#include "link/model/feedback_image.h"

struct BlockRec;
struct InputRec;

// Contact-to-block map, rebuilt by decodeFeedbackImage while gFeedbackByteCount is 0.
extern uint8_t gContactBlock[kMaxContact + 1];      // index in gBlocks, 255 none
extern uint16_t gContactSections[kMaxContact + 1];  // bit j: section j+1 of that block uses the contact
extern int gMaxBlockContact;                        // highest contact used by a block section

// Bit of contact n, non-zero = occupied; 0 for contacts outside 1..496.
int getContactBit(int n);
// Sets or clears contact n; contacts outside 1..496 (and 0) are ignored.
void setContactBit(int n, int on);
// Flips the contact of section 1..15 of the block, or without a block the contact of the input, and
// has the whole image decoded again (contact simulation).
void toggleFeedbackContact(const BlockRec* block, int section, const InputRec* input);
// Builds the contact map when needed and decodes a complete image into the blocks.
void decodeFeedbackImage();
