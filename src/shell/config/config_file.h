#pragma once
// vestrel.cfg: read once per run, then rewritten whole on every call.

constexpr const char* kConfigFileName = "vestrel.cfg";

// The first call of a run (while no layout name is known) reads every item, checks it and replaces bad
// values by their defaults; every call then applies the name rules and writes the whole file again.
void syncConfigFile();
