#include "shell/model/schema_state.h"

#include <new>

int gCharWidth = 0;
int gStatusTextHeight = 12;
JournalScratch gJournalScratch;
int64_t gPerfFrequency = 0;
int32_t gPerfTicksPerMs = 0;

namespace {
template <class T>
bool allocate(T*& slot) {
    if (!slot) slot = new (std::nothrow) T();
    return slot != nullptr;
}
}  // namespace

bool allocateJournalScratch() {
    JournalScratch& s = gJournalScratch;
    if (!s.stepProgram) s.stepProgram = new (std::nothrow) uint8_t[kStepProgramScratchSize]();
    return allocate(s.track) && allocate(s.block) && allocate(s.turnout) && allocate(s.signal) &&
           allocate(s.output) && allocate(s.input) && allocate(s.turntable) && s.stepProgram != nullptr;
}
