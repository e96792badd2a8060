#include "operation/model/route_codec.h"

#include <algorithm>
#include <cstring>

#include "layout/model/layout_model.h"

void writeRouteRec(vestrel::ByteWriter& w, const RouteRec& r) {
    w.i32(r.firstLine);
    w.i32(r.endLine);
    w.u32(r.flags);
    w.bytes(r.name, kRouteNameSize);
    w.bytes(r.spare, 2);
}

RouteRec readRouteRec(vestrel::ByteReader& r) {
    RouteRec out;
    out.firstLine = r.i32();
    out.endLine = r.i32();
    out.flags = r.u32();
    r.bytes(out.name, kRouteNameSize);
    r.bytes(out.spare, 2);
    return out;
}

void writeRouteLineRec(vestrel::ByteWriter& w, const RouteLineRec& l) {
    for (int32_t v : {l.connection, l.hour, l.minute, l.wait, l.speed}) w.i32(v);
}

RouteLineRec readRouteLineRec(vestrel::ByteReader& r) {
    RouteLineRec l;
    for (int32_t* v : {&l.connection, &l.hour, &l.minute, &l.wait, &l.speed}) *v = r.i32();
    return l;
}

bool claimRouteLines(const RouteRec& route, int routeIndex, std::vector<int>& ownerOfLine) {
    const int lines = static_cast<int>(ownerOfLine.size());
    if (route.firstLine < 0 || route.endLine < route.firstLine || route.endLine > lines) return false;
    for (int k = route.firstLine; k < route.endLine; ++k)
        if (ownerOfLine[static_cast<size_t>(k)] >= 0) return false;
    for (int k = route.firstLine; k < route.endLine; ++k) ownerOfLine[static_cast<size_t>(k)] = routeIndex;
    return true;
}

RouteFileRead readRouteFileImage(const std::vector<uint8_t>& bytes, RouteFileContent& out) {
    out = RouteFileContent{};
    vestrel::ByteReader r(bytes);
    if (bytes.size() >= 4 && bytes[0] == 'V' && bytes[2] == '.') {
        out.version = (bytes[1] - '0') * 10 + (bytes[3] - '0');
        r.skip(4);
    }
    const int routes = r.i16();
    const int lines = r.i16();
    if (!r.ok() || routes < 0 || routes > kMaxRoutes || lines < 0 || lines > kMaxRouteLines)
        return RouteFileRead::Damaged;
    std::vector<int> owner(static_cast<size_t>(lines), -1);
    for (int i = 0; i < routes; ++i) {
        RouteRec rec;
        rec.firstLine = r.i16();
        rec.endLine = r.i16();
        rec.flags = static_cast<uint32_t>(r.i16());
        r.bytes(rec.name, kRouteFileNameBytes);
        rec.name[kRouteNameSize - 1] = 0;
        if (!claimRouteLines(rec, i, owner)) return RouteFileRead::Damaged;
        out.routes.push_back(rec);
    }
    for (int i = 0; i < lines; ++i) {
        RouteFileLine l;
        l.line.connection = r.i16();
        if (out.version >= 1) l.blockNumber = r.i16();
        l.line.hour = r.i16();
        l.line.minute = r.i16();
        l.line.wait = r.i16();
        l.line.speed = r.i16();
        out.lines.push_back(l);
    }
    if (!r.ok()) return RouteFileRead::Damaged;
    return RouteFileRead::Ok;
}

std::vector<uint8_t> routeFileImage() {
    vestrel::ByteWriter w;
    w.text("V0.1");
    w.i16(static_cast<int16_t>(gRouteCount));
    w.i16(static_cast<int16_t>(gRouteLineCount));
    for (const RouteRec* r : gRoutes) {
        w.i16(static_cast<int16_t>(r->firstLine));
        w.i16(static_cast<int16_t>(r->endLine));
        w.i16(static_cast<int16_t>(r->flags));
        w.bytes(r->name, kRouteFileNameBytes);
    }
    for (const RouteLineRec* l : gRouteLines) {
        const ConnectionRec* c = routeLineConnection(l);
        // A line without a connection is stored as -1 with block 0.
        w.i16(static_cast<int16_t>(c ? l->connection : -1));
        w.i16(static_cast<int16_t>(c && c->from ? c->from->number : 0));
        for (int32_t v : {l->hour, l->minute, l->wait, l->speed}) w.i16(static_cast<int16_t>(v));
    }
    return w.data();
}
