// The network's two busiest moments: a client parsing a full 2000-byte buffer of the server's
// broadcasts (three train positions of 10 wagons and turnout throws), and one server send pass with
// 10 clients on real loopback sockets (nine synchronised, one receiving its full copy of the full
// layout). Target: each under 0.3 ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QTemporaryDir>
#include <cstring>
#include <memory>
#include <unistd.h>
#include <vector>

#include "bench_trains.h"
#include "layout/draw/diagram_canvas.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "network/socket/net_clients.h"
#include "network/socket/net_sockets.h"
#include "network/sync/client_receive.h"
#include "network/sync/server_copy.h"
#include "platform/canvas.h"
#include "shell/main/program_entry.h"
#include "shell/model/app_state.h"
#include "shell/window/untSchema.h"
#include "main_window_bench_main.h"

namespace {

using namespace benchtrains;

// The server's broadcasts as its send pass would put them in one buffer: the positions of three
// trains, then turnout throws up to the last byte that fits.
std::vector<uint8_t> fullBroadcastBuffer() {
    gNetLinkState = 30;
    gNetOutFill = 0;
    for (int i = 0; i < 3; ++i) gLocsOnTrack[i]->run.runFlagsA |= 0x08;
    netQueueTrainChanges();
    for (int k = 0; gNetOutFill + 10 <= kNetBufferSize; ++k) {
        const TurnoutRec* t = gTurnouts[k % gTurnoutCount];
        netQueueRecord(30, 6, 44, t->number, t->ownIndex, k % 2 ? 'R' : 'G');
        netAppendValue(0);
    }
    std::vector<uint8_t> buffer(gNetOutBuffer, gNetOutBuffer + gNetOutFill);
    gNetOutFill = 0;
    gNetLinkState = 40;
    return buffer;
}

void BM_ClientParseFullBuffer(benchmark::State& state) {
    std::vector<StepProgramRec> boxes;
    prepareLayout(boxes);
    gRunWithoutTrack = 1;
    vestrel::Canvas backBuffer(fulllayout::kWidth, fulllayout::kHeight);
    gBackBuffer = &backBuffer;
    buildTrains();
    const std::vector<uint8_t> buffer = fullBroadcastBuffer();
    int result = 0;
    for (auto _ : state) {
        std::memcpy(gNetInBuffer, buffer.data(), buffer.size());
        result = netClientReceive(static_cast<int>(buffer.size()));
    }
    state.counters["bytes"] = static_cast<double>(buffer.size());
    state.counters["parsed_whole"] = result == 1;
    gBackBuffer = nullptr;
    gNetLinkState = 0;
    clearTrainTables();
}
BENCHMARK(BM_ClientParseFullBuffer)->Unit(benchmark::kMicrosecond);

void BM_ServerSendPassTenClients(benchmark::State& state) {
    std::vector<StepProgramRec> boxes;
    prepareLayout(boxes);
    buildTrains();
    gRunWithoutTrack = 1;
    QTcpServer listener;
    listener.listen(QHostAddress::LocalHost, 0);
    frmSchema->ServerSocket1->listen(QHostAddress::LocalHost, 0);  // the pass runs only while listening
    std::vector<std::unique_ptr<QTcpSocket>> peers;
    netForgetClients();
    for (int i = 0; i < kMaxNetClients; ++i) {
        peers.push_back(std::make_unique<QTcpSocket>());
        peers.back()->connectToHost(QHostAddress::LocalHost, listener.serverPort());
        for (int k = 0; k < 200 && !listener.hasPendingConnections(); ++k) QApplication::processEvents(QEventLoop::AllEvents, 5);
        QTcpSocket* accepted = listener.nextPendingConnection();
        if (!accepted) {
            state.SkipWithError("a loopback connection failed");
            return;
        }
        netAddClient(accepted);
        gNetClientStates[i] = i == 0 ? 3 : 30;
    }
    int cycle = 0;
    int copies = 0;
    for (auto _ : state) {
        if (++cycle % 16 == 0) {
            state.PauseTiming();
            QApplication::processEvents(QEventLoop::AllEvents, 1);
            for (auto& p : peers) p->readAll();
            if (gNetClientStates[0] == 30) {
                gNetClientStates[0] = 3;
                ++copies;
            }
            state.ResumeTiming();
        }
        for (int i = 0; i < 3; ++i) gLocsOnTrack[(cycle + i) % kTrains]->run.runFlagsA |= 0x08;
        gNetSendCounter = 2;
        netServerSendPass();
    }
    state.counters["full_copies"] = copies;
    netForgetClients();
    frmSchema->ServerSocket1->close();
    gRunWithoutTrack = 0;
    gNetLinkState = 0;
    clearTrainTables();
}
BENCHMARK(BM_ServerSendPassTenClients)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return runMainWindowBenchmarks(argc, argv, true); }
