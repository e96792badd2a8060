#pragma once
// What the layout editor works on: the elements its dialogs edit, its click modes and the values of
// gEditMode it uses (gEditMode itself is shared run state, shell/model/app_state.h).
#include <cstdint>

#include "layout/model/layout_model.h"

struct StepProgramRec;

// gEditMode in the editor.
constexpr uint32_t kEditIdle = 0;
constexpr uint32_t kEditFollow = 1;      // placement loop: the element follows the pointer
constexpr uint32_t kEditRefused = 2;     // commit refused, the element stays under the pointer
constexpr uint32_t kEditCommitted = 3;
constexpr uint32_t kEditRestart = 4;     // lay the element out at the pointer again
constexpr uint32_t kEditNew = 5;         // a new element is to be created
constexpr uint32_t kEditCancelled = 6;
constexpr uint32_t kEditClickDeletes = 7;
constexpr uint32_t kEditClickOpens = 8;  // a click opens the element's dialog
constexpr uint32_t kEditClickMoves = 9;
constexpr uint32_t kEditConnections = 11;
constexpr uint32_t kEditNewRoute = 14;
constexpr uint32_t kEditChangeRoute = 15;
constexpr uint32_t kEditDeleteRoute = 16;
constexpr uint32_t kEditNewLayout = 19;
constexpr uint32_t kEditOpenLayout = 20;
constexpr uint32_t kEditSaveLayout = 21;
constexpr uint32_t kEditSaveLayoutAs = 22;
constexpr uint32_t kEditDeleteLayout = 23;
constexpr uint32_t kEditExit = 29;
constexpr uint32_t kEditCurve = 31;

// The elements handed to the dialogs (also set by the control post's picking).
extern TrackRec* gSelectedTrack;
extern BlockRec* gSelectedBlock;
extern int gSelectedSection;  // the block's section that was clicked
extern TurnoutRec* gSelectedTurnout;
extern SignalRec* gSelectedSignal;
extern OutputRec* gSelectedOutput;
extern InputRec* gSelectedInput;
extern TurntableRec* gSelectedTurntable;
extern StepProgramRec* gCurStepBox;

// 1: a move takes the whole element, 0 one point of a block or track. A press on the diagram sets it to
// 20 and the cycle counts it down, so a long press leaves 1 and a short click 0.
extern int8_t gMoveWhole;
// Set while a turntable is inserted or moved together with its bridge track.
extern uint8_t gTurntableMode;
