#include "link/protocol/track_packets.h"

#include <cstdint>

#include "link/protocol/dcc_encoder.h"
#include "link/protocol/motorola_encoder.h"
#include "operation/model/train_model.h"
#include "platform/gui_thread.h"
#include "shell/config/messages.h"

std::mutex& trackPacketMutex() {
    static std::mutex m;
    return m;
}

void reportDccNotPackable() {
    vestrel::runOnGuiThread([] { showDialogMessage(kMsgDccNotPackable, 1); });
}

void buildLocoTrackPackets(LocoRec* loco) {
    if (!loco) return;
    bool unpackable = false;
    {
        std::lock_guard lock(trackPacketMutex());
        if (!loco->packetCache) return;
        uint8_t buf[64];
        if (loco->decoderType <= 2) {
            encodeMotorolaLoco(loco, buf);
        } else {
            unpackable = encodeDccSpeed(loco, buf) == 0;
            unpackable = encodeDccFunctionGroup(loco, 0, buf) == 0 || unpackable;
        }
    }
    if (unpackable) reportDccNotPackable();
}
