#include "link/port/link_port.h"

// No link is ever opened yet, so there is nothing to close.
void closeCommandStationLink() {}
