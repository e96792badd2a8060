#pragma once
// Routes and the route file (<layout>.trj).
int loadRouteFile();
void clearRoutes();
