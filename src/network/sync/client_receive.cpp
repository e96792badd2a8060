#include "network/sync/client_receive.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "layout/files/layout_file.h"
#include "network/model/net_queue.h"
#include "network/model/net_records.h"
#include "network/model/net_state.h"
#include "network/socket/net_sockets.h"
#include "operation/control/loco_operation.h"
#include "operation/model/function_decoder_file.h"
#include "operation/model/route_file.h"
#include "operation/model/train_model.h"
#include "shell/config/messages.h"
#include "shell/model/version.h"
#include "steps/files/step_file.h"

int gNetCarriedBytes = 0;

namespace {

// The server's banner, possibly arriving in pieces: kept until all 19 bytes are there. Bytes that do
// not begin with the maker word are dropped.
int receiveBanner(int count) {
    const int compared = std::min(count, kNetMakerWordSize);
    if (std::memcmp(gNetInBuffer, kNetMakerWord, static_cast<size_t>(compared)) != 0) {
        gNetCarriedBytes = 0;
        return 0;
    }
    if (count < kNetBannerSize) {
        gNetCarriedBytes = count;
        return 255;
    }
    const std::vector<uint8_t> answer = netAnswer(kVersionText);
    netClientWrite(answer.data(), static_cast<int>(answer.size()));
    const std::vector<uint8_t> own = netBanner(kVersionText);
    gNetCarriedBytes = 0;
    if (std::memcmp(gNetInBuffer, own.data(), own.size()) != 0) {
        gNetLinkState = 1;
        showDialogMessage("De versies server-client zijn verschillend !", 1);
        return 1;
    }
    gNetLinkState = 2;
    gNetOutFill = 0;
    colourNetLabel(vestrel::clGreen);
    netClearClientModel();
    const int rest = count - kNetBannerSize;
    if (rest == 0) return 1;
    std::memmove(gNetInBuffer, gNetInBuffer + kNetBannerSize, static_cast<size_t>(rest));
    return netClientReceive(rest);
}

}  // namespace

int netClientReceive(int count) {
    if (count <= 0) return 1;
    if (gNetLinkState <= 1) return receiveBanner(count);
    // Records after the handshake (the full copy and the broadcasts) are not applied yet: the batch
    // is dropped.
    gClientWatchdog = 0;
    gNetCarriedBytes = 0;
    return 0;
}

void netClearClientModel() {
    while (gLocsOnTrack.count() > 0) {
        LocoRec* loco = gLocsOnTrack[0];
        loco->targetStep = 0;
        takeLocoOffTrack(loco);
        if (gLocsOnTrack.indexOf(loco) >= 0) gLocsOnTrack.removeAt(gLocsOnTrack.indexOf(loco));
    }
    clearTrainTables();
    clearLayout();
    clearRoutes();
    clearStepPrograms();
    clearFunctionDecoders();
}
