#include "link/link_settings.h"

uint8_t gDirectBoosterSetting = 0;
uint8_t gP50XOnlySetting = 0;
