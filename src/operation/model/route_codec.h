#pragma once
// The byte images of routes: the 36-byte RouteRec and the 20-byte RouteLineRec (network records), and
// the records of the route file.
#include <cstdint>
#include <vector>

#include "operation/model/route_file.h"
#include "platform/byte_io.h"

void writeRouteRec(vestrel::ByteWriter& w, const RouteRec& r);
RouteRec readRouteRec(vestrel::ByteReader& r);
void writeRouteLineRec(vestrel::ByteWriter& w, const RouteLineRec& l);
RouteLineRec readRouteLineRec(vestrel::ByteReader& r);

// The route file: "V0.1", the counts, per route first line, end line, flags (int16) and 21 name bytes,
// per line connection index, from-block number, hour, minute, wait, speed (int16). Version 0 files have
// no version text and lines without the block number.
constexpr int kRouteFileNameBytes = 21;
struct RouteFileLine {
    RouteLineRec line;
    int blockNumber = 0;  // the from-block of the stored connection (version 1)
};
struct RouteFileContent {
    int version = 0;
    std::vector<RouteRec> routes;
    std::vector<RouteFileLine> lines;
};
enum class RouteFileRead { Ok, Damaged };
// Whether a route's lines lie within a table of lineCount lines (ownerOfLine.size()) and belong to no
// other route; when they do they are marked as the route's (owner: -1 for none).
bool claimRouteLines(const RouteRec& route, int routeIndex, std::vector<int>& ownerOfLine);
// Reads a whole file image. Damaged: a count outside 0..50 / 0..500, a first or end line outside the
// lines, an end before its first line, two routes sharing a line, or a short file.
RouteFileRead readRouteFileImage(const std::vector<uint8_t>& bytes, RouteFileContent& out);
// The file image of the current tables (routes in table order).
std::vector<uint8_t> routeFileImage();
