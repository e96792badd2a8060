// What a synchronised client may send the server, on the fixed layout with the fixed trains: the first
// byte gives the size of each read (0: all at once), the rest is received read by read. The state the
// requests leave is then saved as a locomotive file, which loads and saves the same bytes from then on.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz_fixed.h"  // before Qt
#include "fuzz_support.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "network/socket/net_clients.h"
#include "network/sync/server_receive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzsupport::setUp();
    if (size == 0) return 0;
    fuzzfixed::loadLayout();
    fuzzfixed::loadLocos();
    gNetMode = 30;
    gNetLinkState = 30;
    gNetOutFill = 0;
    netForgetClients();
    const int client = netAddClient(nullptr);
    gNetClientStates[client] = 30;
    const size_t piece = data[0] ? data[0] : static_cast<size_t>(kNetBufferSize);
    for (size_t at = 1; at < size; at += piece) {
        const size_t n = std::min(piece, size - at);
        std::memcpy(gNetInBuffer, data + at, n);
        netServerReceive(client, static_cast<int>(n));
    }
    netForgetClients();
    gNetMode = 0;
    gNetLinkState = 0;
    gNetOutFill = 0;
    // The requests leave run-time state that the file keeps but a load clears (function states, for
    // one): the comparison starts at the first load.
    if (saveLocoFile() != 1 || loadLocoFile(0) != 1) std::abort();
    if (saveLocoFile() != 1) std::abort();
    const std::vector<uint8_t> first = fuzzsupport::readFile("fest.loc");
    if (loadLocoFile(0) != 1) std::abort();
    if (saveLocoFile() != 1) std::abort();
    fuzzsupport::expectSame(first, fuzzsupport::readFile("fest.loc"));
    return 0;
}
