#pragma once
// Helper locomotives (a wagon of kind 'H' standing in for a real locomotive inside another train),
// wagon lengths and putting a single wagon on a block.
#include <string>

struct BlockRec;
struct LocoRec;
struct WagonRec;

// Sets a wagon's kind and number; mode 0 an edit, 1 re-link after the train was put together or
// placed, 2 release (the wagon leaves its train; its train or helper locomotive leaves the track, is
// deleted or renumbered). On a synchronised client only the request goes to the server.
void setWagonKind(WagonRec* wagon, char kind, int number, int mode);

// Why a locomotive cannot become a helper: 1 it already helps another train, 2 five helpers already,
// 3 it has wagons at its front, 4 there is no such locomotive.
std::string helperRefusalText(const LocoRec* loco, int code);
// Shows the refusal, or while the server applies a client's request sends it to that client only
// (3/18). The message result, or whether the record was queued.
int reportHelperRefusal(LocoRec* loco, WagonRec* wagon, int code);

// Sets the main locomotive's maximum step to its speed steps, lowered to the step at which it runs
// as fast as the slowest helper locomotive in its train can at that helper's top step.
void limitMaxStepByHelpers(LocoRec* main);

// The length units of a wagon of cm centimetres: fromCentimetres - 6, at least 6 and at most 255.
int wagonLengthUnits(int cm);

// Gives the wagon the length of its lengthCm (at least 5 cm) and re-places it on the track; 1 when
// applied on the track, 0 otherwise. The centimetres are set back to what the units stand for.
int applyWagonLength(WagonRec* wagon);

// The length the server gave the wagon (a synchronised client): a loose chain on the track is fitted
// again from where it stands as the server fitted it; a train's length follows (its positions come
// with its own record).
void takeOverWagonLength(WagonRec* wagon, int units, int cm);

// Places an off-track wagon on the block at its clicked segment (section index), the click point
// being the mouse point; 1 placed, 0 not (nothing changes).
int placeWagonOnBlock(WagonRec* wagon, BlockRec* block, int segment);

// 1 when the wagon, standing on the block, overlaps another vehicle there.
int wagonCollides(const WagonRec* wagon, const BlockRec* block);
