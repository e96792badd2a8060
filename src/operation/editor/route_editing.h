#pragma once
// Editing routes: lines added, replaced and removed by clicking blocks, the choice among alternative
// connections, closing a route into a cycle, copying and deleting routes. The route tables stay
// consecutive runs throughout.
struct ConnectionRec;
struct RouteRec;

// A click on block blockNumber at the editor's row (1-based; after the last line: append).
// 1 line appended, 2 last line removed, 3 line replaced, 0 nothing possible, 255 every alternative declined.
int routeToggleBlock(RouteRec* route, int blockNumber, int row);
// The connection index chosen for connection index i (the user is asked between alternatives through
// a reversing loop), or -1.
int routeChooseConnection(int index);
// "Traject via  <n> <G|R>  ... ?": 1 when the user answers yes.
int askRouteVia(const ConnectionRec* connection);
// 1 when the last line leads (or could be made to lead) to the first line's block.
int routeCloseCycle(RouteRec* route, int showMessage);
// Moves the lines of every route starting after this one by delta; with removeRoute the route leaves
// gRoutes (and is freed).
void shiftRouteLines(RouteRec* route, int delta, int removeRoute);
void deleteRoute(RouteRec* route);
// 1 copied (the copy becomes the route editor's route), 0 refused.
int copyRoute(RouteRec* route);
