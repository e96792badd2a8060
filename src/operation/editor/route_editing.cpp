#include "operation/editor/route_editing.h"

#include <memory>
#include <string>
#include <vector>

#include "layout/model/layout_model.h"
#include "operation/dialogs/untTraject.h"
#include "operation/model/route_editor_state.h"
#include "operation/model/route_file.h"
#include "operation/model/train_model.h"
#include "shell/config/messages.h"

namespace {

// The first connection leaving block `from` toward `to` (null: anywhere), with the direction character
// `direction` (0: any); -1 none.
int firstConnection(const BlockRec* from, const BlockRec* to, char direction = 0) {
    if (!from) return -1;
    for (int i = 0; i < gConnectionCount; ++i) {
        const ConnectionRec* c = gConnections[i];
        if (c->from == from && (!to || c->to == to) && (!direction || c->direction == direction)) return i;
    }
    return -1;
}

// The block a line stands for: the from-block of its connection.
BlockRec* lineBlock(const RouteLineRec* line) {
    const ConnectionRec* c = routeLineConnection(line);
    return c ? c->from : nullptr;
}

void insertLine(RouteRec* route, int connection) {
    auto line = std::make_unique<RouteLineRec>();
    line->connection = connection;
    gRouteLines.insert(route->endLine, std::move(line));
    ++route->endLine;
    shiftRouteLines(route, 1, 0);
}

void removeLastLine(RouteRec* route) {
    gRouteLines.removeAt(route->endLine - 1);
    --route->endLine;
    shiftRouteLines(route, -1, 0);
}

void forgetRoute(const RouteRec* route) {
    for (LocoRec* l : gLocs)
        if (l->route == route) l->route = nullptr;
    if (gCurRoute == route) gCurRoute = nullptr;
}

}  // namespace

int routeToggleBlock(RouteRec* route, int blockNumber, int row) {
    if (!route) return 0;
    if (gRouteLineCount >= kMaxRouteLines) {
        showDialogMessage("Het maximaal aantal tabellijnen is bereikt", 1);
        return 0;
    }
    BlockRec* clicked = blockByNumber(blockNumber);
    const int lines = route->endLine - route->firstLine;
    if (lines <= 0) {
        const int c = firstConnection(clicked, nullptr);
        if (c < 0) return 0;
        insertLine(route, c);
        return 1;
    }
    if (row > lines) {
        RouteLineRec* last = gRouteLines[route->endLine - 1];
        BlockRec* end = lineBlock(last);
        if (end && clicked == end) {
            removeLastLine(route);
            return 2;
        }
        const int reach = firstConnection(end, clicked);
        if (!clicked || reach < 0) return 0;
        const char direction = gConnections[reach]->direction;
        int next = firstConnection(clicked, nullptr, direction);
        if (next < 0) next = firstConnection(clicked, nullptr, direction == 'H' ? 'T' : 'H');
        if (next < 0) return 0;
        const int chosen = routeChooseConnection(reach);
        if (chosen < 0) return 255;
        last->connection = chosen;
        insertLine(route, next);
        return 1;
    }
    if (!clicked || row < 1) return 0;
    const int at = route->firstLine + row - 1;
    RouteLineRec* line = gRouteLines[at];
    RouteLineRec* previous = row > 1 ? gRouteLines[at - 1] : nullptr;
    const RouteLineRec* following = at + 1 < route->endLine ? gRouteLines[at + 1] : nullptr;
    int own = following ? firstConnection(clicked, lineBlock(following)) : -1;
    if (own < 0) own = firstConnection(clicked, nullptr);
    int reach = -1;
    if (previous) {
        reach = firstConnection(lineBlock(previous), clicked);
        if (reach < 0) return 0;
    }
    if (own < 0) return 0;
    if (previous) {
        const int chosen = routeChooseConnection(reach);
        if (chosen < 0) return 255;
        previous->connection = chosen;
    }
    line->connection = own;
    return 3;
}

int routeChooseConnection(int index) {
    const ConnectionRec* c = gConnections[index];
    if (!c) return -1;
    const bool throughLoop = (c->from && (c->from->flags & 0x01)) || (c->to && (c->to->flags & 0x01));
    if (!throughLoop) return index;
    std::vector<int> alternatives;
    for (int i = index + 1; i < gConnectionCount; ++i)
        if (gConnections[i]->from == c->from && gConnections[i]->to == c->to) alternatives.push_back(i);
    if (alternatives.empty()) return index;
    if (askRouteVia(c)) return index;
    for (int i : alternatives)
        if (askRouteVia(gConnections[i])) return i;
    return -1;
}

int askRouteVia(const ConnectionRec* c) {
    if (!c) return 0;
    std::string text = "Traject via ";
    for (int i = 0; i < kConnectionTurnouts && c->turnouts[i]; ++i)
        text += " " + std::to_string(c->turnouts[i]->number) + " " + c->positions[i] + " ";
    text += " ?";
    return showDialogMessage(text, 2) == 1 ? 1 : 0;
}

int routeCloseCycle(RouteRec* route, int showMessage) {
    // A route without lines has no last line: its "last line" would be another route's.
    if (!route || route->endLine <= route->firstLine) return 0;
    RouteLineRec* last = gRouteLines[route->endLine - 1];
    const BlockRec* first = lineBlock(gRouteLines[route->firstLine]);
    const ConnectionRec* c = routeLineConnection(last);
    if (c && first && c->to == first) return 1;
    const int closing = first ? firstConnection(lineBlock(last), first) : -1;
    if (closing >= 0) {
        last->connection = closing;
        return 1;
    }
    if (showMessage)
        showDialogMessage("Het eerste en laatste blok sluiten niet aan. Het traject zal niet cyclisch doorlopen worden !", 1);
    return 0;
}

void shiftRouteLines(RouteRec* route, int delta, int removeRoute) {
    if (!route) return;
    for (RouteRec* r : gRoutes)
        if (r != route && r->firstLine > route->firstLine) {
            r->firstLine += delta;
            r->endLine += delta;
        }
    if (removeRoute) {
        forgetRoute(route);
        gRoutes.removeAt(gRoutes.indexOf(route));
    }
}

void deleteRoute(RouteRec* route) {
    if (!route || gRoutes.indexOf(route) < 0) return;
    const int lines = route->endLine - route->firstLine;
    for (int k = 0; k < lines; ++k) gRouteLines.removeAt(route->firstLine);
    shiftRouteLines(route, -lines, 1);
}

int copyRoute(RouteRec* route) {
    if (!route) return 0;
    const int lines = route->endLine - route->firstLine;
    if (gRouteCount >= kMaxRoutes || gRouteLineCount + lines >= kMaxRouteLines) {
        showDialogMessage("Maximum wordt overschreden", 1);
        return 0;
    }
    auto copy = std::make_unique<RouteRec>(*route);
    copy->firstLine = gRouteLineCount;
    copy->endLine = copy->firstLine + lines;
    for (int k = 0; k < lines; ++k) gRouteLines.append(std::make_unique<RouteLineRec>(*gRouteLines[route->firstLine + k]));
    gCurRoute = gRoutes.append(std::move(copy));
    if (frmTraject) {
        frmTraject->Tag = 0;
        frmTraject->FormActivate();
    }
    return 1;
}
