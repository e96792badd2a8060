#pragma once
// Display settings of the diagram. They are the settings dialog's check boxes (stored in the
// configuration file); these names are how the drawing code reads them, so there is one value for each.
#include <cstdint>

#include "shell/model/settings.h"

inline uint8_t& gShowBlockFeedback = gSettings.chboVisuTerugmeld;  // occupied sections in maroon
inline uint8_t& gShowConnections = gSettings.chboVisuVerbinding;   // reserved ways in yellow
inline uint8_t& gShowNumbers = gSettings.chboVisuNummer;           // element numbers
inline uint8_t& gShowSections = gSettings.chboVisuSectie;          // section marks in the editor
