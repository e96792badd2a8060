#include "operation/model/route_file.h"

int loadRouteFile() { return 0; }
void clearRoutes() {}

// No routes are kept yet.
int routeCount() { return 0; }
RouteRec* routeAt(int) { return nullptr; }
int routeIndexOf(const RouteRec*) { return -1; }
void writeRouteIndexes() {}
