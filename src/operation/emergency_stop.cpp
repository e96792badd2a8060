#include "operation/emergency_stop.h"

#include "shell/app_state.h"

// Until the trains can be stopped, only the stop state is kept, so that a release clears it.
void emergencyStopAll(int reason) { gEmergencyState = reason == 0 ? 0 : 1; }
