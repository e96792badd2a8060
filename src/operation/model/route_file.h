#pragma once
// Routes and the route file (<layout>.trj).
int loadRouteFile();
void clearRoutes();

struct RouteRec;
// Routes by their index in gRoutes: the count, the route at an index (null outside the table) and a
// route's index (-1 when it is not a route).
int routeCount();
RouteRec* routeAt(int index);
int routeIndexOf(const RouteRec* route);
// Writes each route's table index into the last byte of its name, by which network records name it.
void writeRouteIndexes();
