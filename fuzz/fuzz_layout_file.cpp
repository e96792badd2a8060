// A layout file from anywhere: it loads or is refused; what loads is drawn whole at the loaded canvas size,
// and what it then saves loads again, draws and saves the same bytes (drawing sets run-time bits that the
// file keeps, so both saves follow a drawing). Then everything else that reads the coordinates runs on
// it: the hit tests at the canvas corners and at each element's first point, the connection analysis,
// the quarter turns of the whole layout and a move far across the range and back, each followed by a
// redraw. None may hang, overflow or index outside a table, wherever the file put its points.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "layout/model/layout_file_format.h"  // before Qt, whose keywords name its fields
#include "fuzz_support.h"
#include "fuzz_redraw.h"
#include "layout/analysis/connection_analysis.h"
#include "layout/analysis/direction_reference.h"
#include "layout/editor/hit_test.h"
#include "layout/editor/layout_move.h"
#include "layout/files/layout_file.h"
#include "layout/model/layout_model.h"
#include "layout/model/scale.h"
#include "operation/control/element_picks.h"
#include "platform/desktop.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"

namespace {

void hitTestAt(DiagramPoint p) {
    gMousePoint = p;
    PickHit hit;
    pickTrackAt(hit);
    pickBlockAt(hit);
    pickTurnoutAt(-1, hit);
    pickSignalAt(-1, hit);
    pickOutputAt(-1, hit);
    pickInputAt(-1, hit);
    pickTurntableAt(hit);
    DiagramPoint q = p;
    findTrackEndAt(q, nullptr);
    q = p;
    findTurnoutPointAt(q, nullptr, false);
    q = p;
    int end = 0, slot = 0;
    findTurntableTrackAt(q, end, slot, nullptr, false);
    q = p;
    findConnectionAt(q, nullptr);
}

void hitTests() {
    std::vector<DiagramPoint> points = {{0, 0}, {gCanvasSize.width, gCanvasSize.height}, {INT32_MIN, INT32_MAX}};
    for (const TrackRec* t : gTracks) points.push_back(t->points[0]);
    for (const BlockRec* b : gBlocks) points.push_back(b->points[0]);
    for (const TurnoutRec* t : gTurnouts) points.push_back(t->legs[1]);
    for (const SignalRec* s : gSignals) points.push_back(s->outline[0]);
    for (const InputRec* i : gInputs) points.push_back(i->anchor);
    for (size_t k = 0; k < points.size() && k < 24; ++k) hitTestAt(points[k]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzsupport::setUp();
    vestrel::setDesktopOpener([](const std::string&) { return true; });  // the analysis report
    gLayoutFileName = "fuzz.vtl";
    fuzzsupport::writeFile("fuzz.vtl", data, size);
    if (loadLayoutFile() != 1) return 0;
    fuzzsupport::redrawAtLoadedSize();
    const std::vector<uint8_t> first = writeLayoutImage();
    fuzzsupport::writeFile("fuzz.vtl", first.data(), first.size());
    if (loadLayoutFile() != 1) std::abort();  // what the program writes must load
    fuzzsupport::redrawAtLoadedSize();
    fuzzsupport::expectSame(first, writeLayoutImage());  // and save the same bytes

    hitTests();
    if (gBlockCount > 0) analyseConnections(chooseReferenceBlock());
    for (int orientation : {1, 2, 3, 0}) {
        rotateLayout(orientation, 1);
        hitTests();
    }
    fuzzsupport::redrawAtLoadedSize();
    moveLayout(INT32_MAX, INT32_MIN);
    hitTests();
    fuzzsupport::redrawAtLoadedSize();
    moveLayout(INT32_MIN + 1, INT32_MAX);
    moveLayout(0, 1);
    clearLayout();
    return 0;
}
