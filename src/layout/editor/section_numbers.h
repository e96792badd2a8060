#pragma once
// Contact numbers (1..496) of block sections.

// step +1 or -1: the next contact number from start (from the recorded lowest number when start is
// negative) that no section of any block uses, the block being inserted included; 0 when the search
// leaves 1..496. step 0: records the lowest contact number of gSelectedBlock (starting from its first
// section's) and answers 1.
int nextFreeSectionNumber(int start, int step);
