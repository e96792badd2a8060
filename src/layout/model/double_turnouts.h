#pragma once
// Double turnouts: a pair with numbers n (1..2047) and n + 3000. The member n + 3000 carries the partner
// link (1-based index in gTurnouts of member n); linked turnouts stand together at the end of gTurnouts.

// Renews the links of the trailing zone of linked turnouts from their numbers and clears every link in
// front of that zone. Called after the turnout dialog's OK, after loading a layout and at session start.
void relinkDoubleTurnouts();
