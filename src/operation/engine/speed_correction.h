#pragma once
// The per-block speed correction of a running train and the braking limit before a red block end.
struct BlockRec;
struct LocoRec;

// Recomputes the train's speed correction for block (a negative length keeps the last angle).
void updateSpeedCorrection(LocoRec* loco, BlockRec* block, int previousAngle, int angle, float length);
// Shortens the effective step delay so that the train stops within its stop sections.
void limitBrakingDelay(LocoRec* loco);
