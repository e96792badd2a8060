#include "config_fixture.h"

#include "layout/model/layout_model.h"
#include "network/model/net_state.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"

namespace {
struct Out {
    std::vector<uint8_t> b;
    void lf() { b.push_back(10); }
    void text(const std::string& s) { b.insert(b.end(), s.begin(), s.end()); }
    void byte(uint8_t v) { b.push_back(v); }
    void byteLf(uint8_t v) { byte(v), lf(); }
    void i16(int16_t v) {
        byte(static_cast<uint8_t>(v & 0xFF));
        byte(static_cast<uint8_t>((static_cast<uint16_t>(v) >> 8) & 0xFF));
    }
    void i32(int32_t v) {
        for (int i = 0; i < 4; ++i) byte(static_cast<uint8_t>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF));
    }
};
}  // namespace

std::vector<uint8_t> CfgFixture::bytes() const {
    Out o;
    o.text(layout), o.lf(), o.lf();
    o.text(loco), o.lf(), o.lf();
    o.text(background), o.lf();
    o.i16(beeldX), o.i16(beeldY), o.i16(beeldZoom);
    o.byte(transparant);
    o.byteLf(vaag);
    o.byteLf(compoort);
    o.byteLf(cts);
    o.byteLf(timeBase);
    o.byteLf(visuTerugmeld);
    o.byteLf(constant);
    o.i16(lengteKorte), o.lf();
    o.i16(snelhOranje), o.lf();
    o.byteLf(directBooster);
    o.byteLf(achtergrondbeeld);
    o.i16(baudrate), o.lf();
    o.byteLf(s88poort);
    o.byteLf(kortsluit);
    o.byteLf(mola115200);
    o.byteLf(dcc19200);
    o.byteLf(molaTussentijd);
    o.byteLf(molaLoc7bit);
    o.byteLf(visuVerbinding);
    o.i16(lptAdres), o.lf();
    o.byteLf(wagondetectie);
    o.byteLf(positiecontrole);
    o.byteLf(visuNummer);
    o.byteLf(visuSectie);
    o.byteLf(netMode);
    o.byteLf(compoortb);
    o.byteLf(cyclus46);
    o.byteLf(wsDecTussentijd);
    o.byteLf(verkeerdeWeg);
    o.byteLf(mmCont);
    o.byteLf(p50x);
    o.byteLf(orientation);
    o.i32(s88Baudrate), o.lf();
    o.byteLf(turnoutLength);
    o.byteLf(turnoutWidth);
    return o.b;
}

void resetConfigState() {
    gSettings = Settings{};
    gTimeBase = 1;
    gNetMode = 0;
    gOrientation = 0;
    gTurnoutLengthIndex = 2;
    gTurnoutWidthIndex = 0;
    gLayoutFileName.clear();
    gLocoFileName.clear();
    gBackgroundFileName.clear();
}
