#pragma once
// Inside the control-post dispatcher: what a click hit, and the commands it runs.
#include "operation/control/element_picks.h"

class QDialog;
struct LocoRec;
struct WagonRec;

struct PostHit {
    int code = 0;             // 402..411, 501..504, or 0 nothing
    PickHit element;          // the layout element (402..408)
    LocoRec* loco = nullptr;  // 410; 411: the wagon's owner (null for a loose wagon)
    int row = -1;             // 410: the locomotive's control-post row
    WagonRec* wagon = nullptr;
    WagonRec* first = nullptr;  // 411: the first wagon of the wagon's run or chain
};

// The locomotive in control-post row `row`, or null (an empty row, or a row past the on-track count).
LocoRec* locoInRow(int row);
bool lokPlacing();
bool wagonsPlacing();
// A click mode waits for the user (12 and 13 are a session start or stop waiting for its dialog).
bool clickModeActive();
// The commands that leave a pending click mode alone (they may be its second click).
bool keepsClickMode(int code);
// Finds what the click at gMousePoint hit: 0 nothing, else the command code with the hit filled in.
// A synchronised client does not hit-test inputs.
int postHitTest(PostHit& hit, bool withInputs);
// Recolours the previous and the active row when the active row changed.
void highlightActiveRow();
// Runs the command (gActiveRow is the row concerned).
void runPostCommand(int code, const PostHit& hit);
// The menu commands 1041..1111; a synchronised client has no decoder programming (1047) and no input
// simulation (1112), and leaves the limit of locomotives on the track to its server.
void runMenuCommand(int code, bool client);
// Clicks on turnouts, signals, outputs, turntables and step-program boxes (403, 404, 405, 407, 408):
// left operates the element, right opens its dialog.
void operateElement(const PostHit& hit);
// A click on a locomotive: right the train dialog; left takes it off the track in the removal mode
// (on a client: the request), else the route dialog when it is open or the locomotive panel, and its
// row becomes the active row.
void locoClicked(const PostHit& hit);
// The block dialog on the block and section hit; the wagon dialog on the wagon hit and its run.
void showBlockDialog(const PostHit& hit);
void showWagonDialog(const PostHit& hit);
// Shows a dialog of the control post and brings it to the front.
void showPostForm(QDialog* form);
void showRouteDialogForLoco();
// The previous (-1) or next (1) row among the locomotives on the track, wrapping at both ends.
void selectNextRow(int step);
