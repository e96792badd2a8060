#include "operation/model/route_file.h"

#include "layout/model/layout_model.h"
#include "operation/model/route_editor_state.h"
#include "operation/model/train_model.h"

RecordTable<RouteRec, kMaxRoutes> gRoutes;
RecordTable<RouteLineRec, kMaxRouteLines> gRouteLines;

void clearRoutes() {
    for (LocoRec* l : gLocs) {
        if (l->route) l->savedRoute = static_cast<int16_t>(routeIndexOf(l->route) + 1);
        l->route = nullptr;
    }
    gCurRoute = nullptr;
    gRoutes.clear();
    gRouteLines.clear();
}

int routeCount() { return gRoutes.count(); }
RouteRec* routeAt(int index) { return gRoutes[index]; }
int routeIndexOf(const RouteRec* route) { return route ? gRoutes.indexOf(route) : -1; }

ConnectionRec* routeLineConnection(const RouteLineRec* line) {
    return line ? gConnections[line->connection] : nullptr;
}

void writeRouteIndexes() {
    for (int i = 0; i < gRouteCount; ++i) gRoutes[i]->name[kRouteNameSize - 1] = static_cast<char>(i);
}
