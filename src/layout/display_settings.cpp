#include "layout/display_settings.h"

uint8_t gShowBlockFeedback = 0;
uint8_t gShowConnections = 0;
uint8_t gShowNumbers = 0;
uint8_t gShowSections = 0;
