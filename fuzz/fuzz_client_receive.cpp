// What a server may send a synchronised client, on the fixed layout with the fixed trains: the first
// byte gives the size of each read (0: as much as the buffer takes), the second whether the client is
// still taking the full copy (odd) or synchronised (even); the rest is received read by read, an
// unfinished record carried to the next read as the socket code does; a train position record draws
// its train as it arrives, and the diagram is drawn whole with its trains afterwards. The state the
// records leave is then saved as a layout and a locomotive file, which load and save the same bytes from
// then on.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz_fixed.h"  // before Qt
#include "layout/model/layout_file_format.h"
#include "fuzz_support.h"
#include "fuzz_redraw.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "network/sync/client_receive.h"
#include "network/sync/client_tables.h"
#include "shell/config/messages.h"

namespace {

// Saves, loads and saves again: from the first load on the bytes stay the same. The layout is saved
// before the trains are placed on it: the marks they leave on tracks and turnouts are run-time bytes,
// which loading clears.
void expectStableFiles() {
    gLayoutFileName = "fest.vtl";
    gLocoFileName = "fest.loc";
    if (saveLayoutFile() != 1 || saveLocoFile() != 1) std::abort();
    const auto loadAndSave = [] {
        if (loadLayoutFile() != 1) {
            if (std::getenv("VESTREL_FUZZ_DUMP")) std::fprintf(stderr, "%s\n", lastDialogMessage().c_str());
            std::abort();
        }
        if (saveLayoutFile() != 1) std::abort();
        loadLocoFile(0);
        if (saveLocoFile() != 1) std::abort();
    };
    loadAndSave();
    const std::vector<uint8_t> layout = fuzzsupport::readFile("fest.vtl");
    const std::vector<uint8_t> locos = fuzzsupport::readFile("fest.loc");
    loadAndSave();
    fuzzsupport::expectSame(layout, fuzzsupport::readFile("fest.vtl"));
    fuzzsupport::expectSame(locos, fuzzsupport::readFile("fest.loc"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzsupport::setUp();
    if (size < 2) return 0;
    fuzzfixed::loadLayout();
    fuzzfixed::loadLocos();
    gNetMode = 40;
    gNetLinkState = (data[1] & 1) ? 2 : 40;
    if (gNetLinkState == 2) {
        netClearClientModel();
        netResetCopyReception();
    }
    gNetOutFill = 0;
    gNetCarriedBytes = 0;
    const size_t piece = data[0] ? data[0] : static_cast<size_t>(kNetBufferSize);
    // The diagram the records draw on while they arrive (a train's position record draws the train).
    vestrel::Canvas diagram(gCanvasSize.width, gCanvasSize.height, kBackgroundColour);
    gDiagramCanvas = &diagram;
    recreateBackBuffer();
    for (size_t at = 2; at < size;) {
        const size_t room = static_cast<size_t>(kNetBufferSize - gNetCarriedBytes);
        const size_t n = std::min({piece, size - at, room});
        if (n == 0) break;
        std::memcpy(gNetInBuffer + gNetCarriedBytes, data + at, n);
        at += n;
        const int count = gNetCarriedBytes + static_cast<int>(n);
        if (netClientReceive(count) != 255) gNetCarriedBytes = 0;
    }
    gDiagramCanvas = nullptr;
    fuzzsupport::redrawWithTrainsAtLoadedSize();
    gNetMode = 0;
    gNetLinkState = 0;
    gNetOutFill = 0;
    gNetCarriedBytes = 0;
    expectStableFiles();
    return 0;
}
