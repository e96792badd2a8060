#pragma once
// Display settings of the diagram (settings dialog, stored in the configuration file).
#include <cstdint>

extern uint8_t gShowBlockFeedback;  // "terugmeldingen blokken zichtbaar": occupied sections in maroon
extern uint8_t gShowConnections;    // "verbindingen zichtbaar": reserved ways in yellow
extern uint8_t gShowNumbers;        // "nummers zichtbaar"
extern uint8_t gShowSections;       // "secties zichtbaar": section marks in the editor
