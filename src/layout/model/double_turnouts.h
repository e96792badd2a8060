#pragma once
// Double turnouts: a pair with numbers n (1..2047) and n + 3000. The member n + 3000 carries the partner
// link (1-based index in gTurnouts of member n); linked turnouts are put at the end of gTurnouts, but a
// deleted half leaves its unlinked partner among them.

// Renews every link from the numbers (0 where the member n is gone or the number is no upper half).
// Called after the turnout dialog's OK, after deletes, undo and redo, after loading and at session start.
void relinkDoubleTurnouts();

struct TurnoutRec;

// The partner of a double turnout, as a 1-based index in gTurnouts, 0 when there is none. With a number:
// the first other turnout numbered number + 3000 (number below 2048) or number - 3000 (3001..5047).
// With number 0 (asked by the control post): the turnout's own link when it names the member 3000
// below it; without a link, the linked turnout whose member is this turnout.
int findTurnoutPartner(const TurnoutRec* turnout, int number);
// Where an unlinked turnout stands: in front of the trailing zone of linked turnouts.
int doubleTurnoutZoneStart();
