#pragma once
// Settings of the link that the settings dialog and the configuration file keep.
#include <cstdint>

extern uint8_t gDirectBoosterSetting;  // chboDirectBooster: direct to the booster, no command station
extern uint8_t gP50XOnlySetting;       // radbtnP50X: the P50X protocol alone
