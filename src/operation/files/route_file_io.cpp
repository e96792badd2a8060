#include "operation/files/route_file_io.h"

#include <algorithm>
#include <cstring>

#include "layout/model/layout_model.h"
#include "operation/editor/route_editing.h"
#include "operation/model/route_codec.h"
#include "operation/model/train_model.h"
#include "platform/byte_io.h"
#include "platform/paths.h"
#include "shell/config/messages.h"

std::string routeFileName() {
    const std::string& layout = gLayoutFileName;
    return (layout.size() >= 3 ? layout.substr(0, layout.size() - 3) : layout) + "trj";
}

namespace {

// A connection from block `from` (number) to block `to` (null: any), first in table order; -1 none.
int firstConnection(int from, const BlockRec* to) {
    for (int i = 0; i < gConnectionCount; ++i) {
        const ConnectionRec* c = gConnections[i];
        if (c->from && c->from->number == from && (!to || c->to == to)) return i;
    }
    return -1;
}

// Lines of version 1 are checked against the layout by their block numbers: a stale index is replaced
// by the first connection that still runs from the line's block to the next line's block. True when
// some line changed.
bool relinkLines(const RouteFileContent& content) {
    bool changed = false;
    for (const RouteRec* r : gRoutes) {
        for (int i = r->firstLine; i < r->endLine; ++i) {
            RouteLineRec* line = gRouteLines[i];
            const int x = content.lines[i].line.connection;
            const int from = content.lines[i].blockNumber;
            const ConnectionRec* stored = (x >= 0 && x < gConnectionCount) ? gConnections[x] : nullptr;
            const bool last = i == r->endLine - 1;
            // A next line without connection (saved with block 0) names no block to reach: as for the
            // last line, the stored connection only has to leave this line's block.
            const bool open = last || content.lines[i + 1].blockNumber == 0;
            const BlockRec* wanted = last ? (stored ? stored->to : nullptr)
                                          : blockByNumber(content.lines[i + 1].blockNumber);
            if (stored && stored->from && stored->from->number == from && (open || stored->to == wanted)) continue;
            const int relinked = firstConnection(from, last ? nullptr : wanted);
            if (relinked != line->connection) changed = true;  // a line without connection stays so quietly
            line->connection = relinked;
        }
        if (r->firstLine < r->endLine) routeCloseCycle(const_cast<RouteRec*>(r), 0);
    }
    return changed;
}

// Each locomotive gets its route back from its saved number; one above the count loses it and shunts.
void giveRoutesBack() {
    for (LocoRec* l : gLocs) {
        if (l->savedRoute <= 0) continue;
        if (l->savedRoute > gRouteCount) {
            l->route = nullptr;
            if (gLocsOnTrack.indexOf(l) >= 0) l->mode = kModeShunting;
        } else {
            l->route = gRoutes[l->savedRoute - 1];
        }
        l->savedRoute = 0;
    }
}

}  // namespace

int loadRouteFile() {
    clearRoutes();
    std::vector<uint8_t> bytes;
    const std::string name = routeFileName();
    if (!vestrel::readWholeFile(vestrel::resolvePath(name), bytes)) {
        giveRoutesBack();
        return 0;
    }
    RouteFileContent content;
    if (readRouteFileImage(bytes, content) != RouteFileRead::Ok) {
        showDialogMessage("Er is een fout in het bestand '" + name + "'. De trajecten moeten opnieuw gemaakt worden.", 1);
        giveRoutesBack();
        return 0;
    }
    for (const RouteRec& r : content.routes) gRoutes.append(std::make_unique<RouteRec>(r));
    for (const RouteFileLine& l : content.lines) {
        auto line = std::make_unique<RouteLineRec>(l.line);
        // An index that names no connection is no connection (-1), never another record.
        if (line->connection < 0 || line->connection >= gConnectionCount) line->connection = -1;
        gRouteLines.append(std::move(line));
    }
    if (content.version >= 1) {
        if (relinkLines(content))
            showDialogMessage("De spoorbaan werd gewijzigd. Kijk trajecten na met verbindingen met verschillende "
                              "mogelijkheden.",
                              1);
    } else {
        showDialogMessage("De versie van het trajectbestand is oud. Kijk de trajecten na  en sla ze dan op.", 1);
    }
    giveRoutesBack();
    return 1;
}

int saveRouteFile() {
    gRoutes.stableSort([](const RouteRec& a, const RouteRec& b) {
        return std::strncmp(a.name, b.name, kRouteFileNameBytes) < 0;
    });
    writeRouteIndexes();  // the network names routes by their index
    const std::string name = routeFileName();
    if (!vestrel::writeFileAtomic(vestrel::resolvePath(name), routeFileImage())) {
        showDialogMessage("Kan bestand '" + name + "' niet openen !", 1);
        return 0;
    }
    return 1;
}
