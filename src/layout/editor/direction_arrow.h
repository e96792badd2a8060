#pragma once
// The red arrow with which the direction dialog shows the outward direction ('heen') of its block.

// Redraws the diagram (not the back buffer) and draws a red arrowhead, pen width 3, at the last point
// of the reference block gSelectedBlock (the end a train travelling 'H' leaves it by), pointing along
// its last section.
void drawHeenArrow();
