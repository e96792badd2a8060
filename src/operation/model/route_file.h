#pragma once
// Routes ("trajecten"): timetables of lines that trains in mode "Traject" follow, kept in two tables.
// The lines of all routes lie in gRouteLines as consecutive runs, one per route, in the order of the
// routes' first lines. The route file (<layout>.trj) is read and written by the route-file unit.
#include <cstdint>

#include "layout/model/record_table.h"

constexpr int kMaxRoutes = 50;
constexpr int kMaxRouteLines = 500;
constexpr int kRouteNameSize = 22;  // zero-terminated; 21 bytes are stored, the last holds the index
constexpr int kRouteRecSize = 36;
constexpr int kRouteLineRecSize = 20;

struct RouteRec {
    int32_t firstLine = 0;  // index in gRouteLines of its first line
    int32_t endLine = 0;    // index after its last line (first = end: no lines)
    uint32_t flags = 0;
    char name[kRouteNameSize] = {};  // during a session the last byte is the route's table index
    uint8_t spare[2] = {};
};

struct RouteLineRec {
    int32_t connection = -1;  // index in gConnections of the connection leaving this line's block; -1 none
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t wait = 0;         // seconds
    int32_t speed = 100;      // km/h
};

extern RecordTable<RouteRec, kMaxRoutes> gRoutes;
extern RecordTable<RouteLineRec, kMaxRouteLines> gRouteLines;
inline const int& gRouteCount = gRoutes.countRef();
inline const int& gRouteLineCount = gRouteLines.countRef();

int loadRouteFile();
// Frees every route and line; each locomotive keeps its 1-based route number (savedRoute) and loses
// its pointer, the route editor its current route.
void clearRoutes();

struct ConnectionRec;
// Routes by their index in gRoutes: the count, the route at an index (null outside the table) and a
// route's index (-1 when it is not a route).
int routeCount();
RouteRec* routeAt(int index);
int routeIndexOf(const RouteRec* route);
// Writes each route's table index into the last byte of its name, by which network records name it.
void writeRouteIndexes();
// The connection of a route line: null for an index outside gConnections (-1 included).
ConnectionRec* routeLineConnection(const RouteLineRec* line);
