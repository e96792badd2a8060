#pragma once
// The layout file gLayoutFileName and its companions.

// Reads the layout named by gLayoutFileName; with no name yet the configuration file supplies it.
int loadLayoutFile();
