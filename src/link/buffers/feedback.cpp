#include "link/buffers/feedback.h"

#include <algorithm>

#include "layout/model/layout_model.h"
#include "link/buffers/link_buffers.h"
#include "steps/model/step_program.h"

uint8_t gContactBlock[kMaxContact + 1];
uint16_t gContactSections[kMaxContact + 1];
int gMaxBlockContact = 0;

namespace {

bool validContact(int n) { return n >= 1 && n <= kMaxContact; }

// No contact belongs to a block until the map is built.
const bool kEmptyMap = (std::fill(std::begin(gContactBlock), std::end(gContactBlock), 255), true);

void buildContactMap() {
    std::fill(std::begin(gContactBlock), std::end(gContactBlock), 255);
    std::fill(std::begin(gContactSections), std::end(gContactSections), 0);
    gMaxBlockContact = 0;
    for (int bi = 0; bi < gBlockCount; ++bi) {
        BlockRec* b = gBlocks[bi];
        for (int s = 1; s <= kMaxSections; ++s) {
            const int c = b->sectionInputs[s];
            if (!validContact(c)) continue;
            gContactBlock[c] = static_cast<uint8_t>(bi);
            gContactSections[c] = static_cast<uint16_t>(gContactSections[c] | (1 << (s - 1)));
            gMaxBlockContact = std::max(gMaxBlockContact, c);
        }
        b->occupiedSections = 0;
    }
    int highest = gMaxBlockContact;
    const int stepContact = highestStepConditionContact();
    if (validContact(stepContact)) highest = std::max(highest, stepContact);
    for (const InputRec* in : gInputs)
        if (validContact(in->number)) highest = std::max(highest, static_cast<int>(in->number));
    gFeedbackByteCount = ((highest - 1) / 16 + 1) * 2;
}

}  // namespace

int getContactBit(int n) { return gFeedbackImage.contactBit(n); }

void setContactBit(int n, int on) { gFeedbackImage.setContact(n, on != 0); }

void toggleFeedbackContact(const BlockRec* block, int section, const InputRec* input) {
    int contact = 0;
    if (block) contact = (section >= 1 && section <= kMaxSections) ? block->sectionInputs[section] : 0;
    else if (input) contact = input->number;
    if (!validContact(contact)) return;
    gFeedbackImage.flipContact(contact);
    gFeedbackImage.publish(gFeedbackByteCount);
}

void decodeFeedbackImage() {
    if (gFeedbackByteCount == 0) buildContactMap();
    const FeedbackImage::Read read = gFeedbackImage.lastRead();
    if (!gFeedbackImage.pending() || read.byteCount != gFeedbackByteCount) return;
    int contact = 1;
    for (int i = 0; i < read.byteCount && contact <= gMaxBlockContact; ++i) {
        const uint8_t byte = gFeedbackImage.byteAt(i);
        for (int mask = 0x80; mask != 0 && contact <= kMaxContact; mask >>= 1, ++contact) {
            BlockRec* b = gContactBlock[contact] != 255 ? gBlocks[gContactBlock[contact]] : nullptr;
            if (!b) continue;
            if (byte & mask) b->occupiedSections = static_cast<int16_t>(b->occupiedSections | gContactSections[contact]);
            else b->occupiedSections = static_cast<int16_t>(b->occupiedSections & ~gContactSections[contact]);
        }
    }
    gFeedbackImage.markDecoded(read.number);
}
