#include "operation/route_file.h"

int loadRouteFile() { return 0; }
void clearRoutes() {}
