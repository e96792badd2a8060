// The texts of the hover information.
#include <cmath>
#include <cstdio>

#include "layout/model/element_lengths.h"
#include "layout/model/geometry.h"
#include "layout/model/scale.h"
#include "operation/model/length_units.h"
#include "shell/window/hover_info.h"

namespace {

template <class... Values>
std::string format(const char* pattern, Values... values) {
    char text[200];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

double segmentCentimetres(DiagramPoint a, DiagramPoint b) {
    return toCentimetres(std::hypot(static_cast<double>(b.x) - a.x, static_cast<double>(b.y) - a.y));
}

std::string trackText(const TrackRec& t, int s) {
    return format("verbindingsspoor\nlijnlengte %0.1f  hoek %d\ntotale lengte %d",
                  segmentCentimetres(t.points[s], t.points[s + 1]), -t.segmentAngles[s], trackLength(t));
}

std::string blockText(const BlockRec& b, int s) {
    double total = 0;
    for (int k = 0; k < b.sections && k < kMaxSections; ++k) total += b.sectionLengths[k];
    return format("blok %d  sectie %d  ingang %d\nlijnlengte %0.1f  hoek %d\nsectielengte %d\ntotale bloklengte %d",
                  b.number, s + 1, b.sectionInputs[s + 1], segmentCentimetres(b.points[s], b.points[s + 1]),
                  -b.sectionAngles[s], sectionKindCentimetres(b, b.sectionKinds[s]), toCentimetresRounded(total));
}

std::string turnoutText(const TurnoutRec& t) {
    const int length = computeTurnoutSize(&t, 2);
    if (t.subtype == 'x') return format("kruising  lengte %d  hoek %d", length, t.angle);
    return format("wissel %d  lengte %d  hoek %d", t.number, length, t.angle);
}

std::string turntableText(const TurntableRec& t, int track) {
    const int bridge = roundHalfAway(t.bridgeAngle * 180 / kPi);
    return format("draaischijf %d  hoek %d\ndiameter %0.1f  aansluiting %d", t.number, -bridge,
                  toCentimetres(2.0 * t.radius), track);
}

const char* toolText(int letter) {
    switch (letter) {
        case 'b': return "blok";
        case 'd': return "draaischijf";
        case 'i': return "ingang S88";
        case 'k': return "kruiswissel";
        case 'l': return "linkerwissel";
        case 'o': return "uitgang (ontkoppelrail, ...)";
        case 'p': return "stappenprogramma";
        case 'r': return "rechterwissel";
        case 's': return "sein";
        case 'v': return "verbindingsspoor";
        case 'x': return "kruising";
        default: return nullptr;
    }
}

}  // namespace

bool hoverText(const HoverHit& hit, std::string& text) {
    if (const char* tool = toolText(hit.code)) {
        text = tool;
        return true;
    }
    switch (hit.code) {
        case 401: text = trackText(*hit.track, hit.segment); return true;
        case 402: text = blockText(*hit.block, hit.segment); return true;
        case 403: text = turnoutText(*hit.turnout); return true;
        case 404: {
            const SignalRec& s = *hit.signal;
            text = format("sein %d  hoek %d\n blok %d  rich %c", s.number, s.angle, s.block ? s.block->number : 0,
                          s.direction);
            return true;
        }
        case 405: text = format("uitgang %d  hoek %d", hit.output->key / 2, hit.output->angle); return true;
        case 406: text = format("ingang %d  hoek %d", hit.input->number, hit.input->angle); return true;
        case 407: text = turntableText(*hit.turntable, hit.turntableTrack); return true;
        case 408: text = "stappenprogramma"; return true;
        case 501:
        case 502:
        case 504: text = "laag 1, 2 en 3 aan/uit"; return true;
        default: return false;
    }
}
