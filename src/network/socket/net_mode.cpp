#include "network/socket/net_mode.h"

#include <QLabel>
#include <QLineEdit>

#include "network/model/net_config_file.h"
#include "network/model/net_state.h"
#include "network/socket/net_sockets.h"
#include "platform/text_codec.h"
#include "shell/dialogs/untInstellingen.h"
#include "shell/main/session.h"
#include "shell/model/app_state.h"
#include "shell/window/untSchema.h"

void loadNetConfig() {
    NetConfig config;
    if (!frmInstellingen || !readNetConfigFile(kNetConfigFileName, config)) return;
    frmInstellingen->edtPCNaam->setText(vestrel::fromCp1252(config.name));
    frmInstellingen->edtPCAdres->setText(vestrel::fromCp1252(config.address));
}

void saveNetConfig() {
    if (!frmInstellingen) return;
    writeNetConfigFile(kNetConfigFileName, {vestrel::toCp1252(frmInstellingen->edtPCNaam->text()),
                                            frmInstellingen->serverAddress()});
}

void setNetworkMode(int mode) {
    if (!frmSchema) {
        gNetMode = static_cast<uint8_t>(mode);
        return;
    }
    if (gDemoStep != 0) {
        frmSchema->lblNet->hide();
        return;
    }
    if (netServerListening() && (mode != 30 || !sessionRunning())) netCloseServer();
    if (mode != 40) {
        netCloseClient();
        if (gNetMode == 40 && gRunWithoutTrack) {
            gLocoDataModified = 0;
            toggleControlPostSession(13);
        }
    }
    if (mode == 30 && !netServerListening() && sessionRunning()) {
        showNetLabel(" SERVER ");
        colourNetLabel(netOpenServer() ? vestrel::clGray : vestrel::clRed);
    }
    if (mode == 40 && !netClientOpen()) {
        std::string host, address;
        if (frmInstellingen) {
            host = vestrel::toCp1252(frmInstellingen->edtPCNaam->text());
            address = frmInstellingen->serverAddress();
        }
        showNetLabel(" CLIENT ");
        colourNetLabel(vestrel::clGray);
        gRunWithoutTrack = 1;
        netOpenClient(host, address);
    }
    gNetMode = static_cast<uint8_t>(mode);
    frmSchema->lblNet->setVisible(mode != 0);
    frmSchema->FormActivate();
}

void reopenClientSocket() {
    if (gNetMode == 40 && !netClientOpen()) setNetworkMode(40);
}
