#pragma once
// vestrel.cfg: read once per run, then rewritten whole on every call.
void syncConfigFile();
