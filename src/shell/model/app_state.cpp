#include "shell/model/app_state.h"

std::atomic<uint8_t> gRunWithTrack{0};
uint8_t gRunWithoutTrack = 0;
std::atomic<uint8_t> gEmergencyState{0};
int gActiveRow = 0;
int gPreviousRow = 0;
uint8_t gPendingKey = 0;
uint32_t gEditMode = 0;
int gActiveDialog = 0;
int gMouseButton = 0;
int gShiftState = 0;
uint32_t gMsTick = 0;
uint32_t gTickPeriod = 0;
int gRedrawCountdown = 0;
int gRepaintRequest = 0;
int gHoverReset = 0;
int gRequestingClient = 0;
uint8_t gLocoDataModified = 0;
int16_t gShortTrainUnits = 0;
uint8_t gChangeFlags = 0;
int gDemoStep = 0;
std::string gLocoFileName;
std::string gBackgroundFileName;
