#pragma once
// The control-post command dispatcher: during a session every key, control-post button, click on the
// diagram and menu command of the main window arrives here with its command code (0 for a click or a
// pending key) and the control-post row it concerns.
#include <cstdint>
#include <string>

struct FunctionDecoderRec;
struct LocoRec;
struct WagonRec;

// Set while input simulation runs (clicks toggle feedback contacts instead of operating elements).
extern uint8_t gNoFeedbackPoll;

// Click modes of the control post (gEditMode during a session).
constexpr uint32_t kPostPlaceLoco = 3;        // click the block where the locomotive is to stand
constexpr uint32_t kPostWagonTable = 5;       // the wagon table is open
constexpr uint32_t kPostRemoveVehicle = 7;    // click the locomotive or wagon to take off, or Enter
constexpr uint32_t kPostVehicleDialog = 8;    // a dialog is open on a chosen vehicle
constexpr uint32_t kPostLocoRoute = 17;       // the route dialog shows a locomotive's route
constexpr uint32_t kPostStepPrograms = 18;    // the step-program editor is open
constexpr uint32_t kPostLocoFileNew = 24;     // the locomotive-file commands of a session
constexpr uint32_t kPostLocoFileOpen = 25;
constexpr uint32_t kPostLocoFileSave = 26;
constexpr uint32_t kPostLocoFileSaveAs = 27;
constexpr uint32_t kPostLocoFileDelete = 28;
constexpr uint32_t kPostExit = 29;
constexpr uint32_t kPostUncouple = 32;        // click the wagon to uncouple at, or an uncoupling rail
constexpr uint32_t kPostPlaceWagon = 33;      // click the place on a block where the wagon is to stand

// Tags of the locomotive panel and the wagon table while they wait for a click on the diagram.
constexpr int kLokPlacing = 3;
constexpr int kWagonsPlacing = 33;

// What the dialogs show when they open.
extern LocoRec* gCurLoc;                       // the locomotive panel
extern LocoRec* gCurTrain;                     // the train dialog
extern LocoRec* gRouteDialogLoco;              // the route dialog
extern WagonRec* gCurWagon;                    // the wagon dialog, with the first wagon of its run
extern WagonRec* gCurWagonFirst;
extern FunctionDecoderRec* gCurFunctionDecoder;  // the function-decoder dialog

// Carries out command code for control-post row `row` (0..19) during a session.
void controlPostCommand(int code, int row);
// A click mode asks for a click: its prompt in the status line, gEditMode, the hand-point cursor.
void promptClickMode(const std::string& prompt, uint32_t mode);
// Ends the click mode: gEditMode 0, the status line cleared, the arrow cursor, and the locomotive
// panel and the wagon table closed when they were waiting for a click.
void cancelClickMode();
