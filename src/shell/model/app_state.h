#pragma once
// Run state shared by the subsystems; owned by the application shell.
#include <atomic>
#include <cstdint>
#include <string>

// Session with track control; the link thread reads it too.
extern std::atomic<uint8_t> gRunWithTrack;
extern uint8_t gRunWithoutTrack;   // session without track control (simulation)
// 0 running, 1 emergency stop, 2 silent stop, 4 booster short circuit, 8 start with track control,
// 0x11 link failure; bit 0x10 set by the link thread while the track power is off. Written by the
// link's worker threads as well as the GUI thread.
extern std::atomic<uint8_t> gEmergencyState;
extern int gActiveRow;             // selected control post 0..19
extern int gPreviousRow;           // the control post selected before
extern uint8_t gPendingKey;
extern uint32_t gEditMode;         // pending editor or file action
extern int gActiveDialog;          // open modeless dialog, 0 none
extern int gMouseButton;           // 1 left, 2 right, 0 key
extern int gShiftState;            // bit 0 Shift or Caps Lock, bit 1 Alt, bit 2 Ctrl
extern uint32_t gMsTick;           // milliseconds, taken at the start of every tick
extern uint32_t gTickPeriod;       // learned tick period, 0 while not learned
extern int gRedrawCountdown;       // ticks until the deferred redraw
extern int gRepaintRequest;        // <0 suppress paint, 1 repaint in progress
extern int gHoverReset;            // ticks during which the hover display forgets the element under the pointer
extern int gRequestingClient;      // 0 local, client number + 1 while the server applies a request
extern uint8_t gLocoDataModified;
extern int16_t gShortTrainUnits;  // short-train length in diagram units, set at session start
extern uint8_t gChangeFlags;
extern int gDemoStep;              // 0 no demo running
extern std::string gLocoFileName;        // at most 25 characters
extern std::string gBackgroundFileName;  // at most 25 characters

inline bool sessionRunning() { return gRunWithTrack || gRunWithoutTrack; }

// Milliseconds from `earlier` to `later` on the wrapping millisecond clock (gMsTick and the like). The
// difference is taken unsigned, so a counter that wrapped between the two readings still gives the
// small positive interval and nothing overflows.
inline int32_t msBetween(uint32_t later, uint32_t earlier) { return static_cast<int32_t>(later - earlier); }
