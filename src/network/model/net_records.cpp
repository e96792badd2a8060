#include "network/model/net_records.h"

#include <algorithm>
#include <cstring>

#include "layout/model/layout_model.h"
#include "layout/model/scale.h"
#include "network/model/net_state.h"
#include "operation/model/train_model.h"
#include "shell/model/settings.h"
#include "shell/model/version.h"

using vestrel::ByteWriter;

void encodeLocoStateRecord(ByteWriter& w, const LocoRec& loco) {
    w.u8(2);
    w.u8(26);
    w.i16(loco.number);
    w.i16(loco.slot);
    w.i16(loco.targetStep);
    w.i16(loco.effectiveStepDelay);
    w.u8((loco.run.runFlagsA & 0x01) ? 0xFF : 0);
    w.u8(0);
}

void encodeSettingsRecord(ByteWriter& w) {
    const Settings& s = gSettings;
    w.u8(21);
    w.u8(21);
    w.ch(gScaleDigit);
    w.u8(gTurnoutSizeMode);
    w.ch(gZoomDigit);
    w.u8(gTimeBase);
    w.i16(s.edtLengteKorte);
    w.i16(s.edtSnelhOranje);
    w.u8(s.chboWagondetectie);
    w.u8(s.chboPositiecontrole);
    w.u8(s.chboVerkeerdeWeg);
    w.u8(s.chboDirectBooster);
    w.ch(s.cboCompoort);
    w.u8(s.chboCTS);
    w.u8(s.radbtnP50X);
    w.u8(s.chboWSDecTussentijd);
    w.u8(s.chboMMWisselSeinCont);
    w.u8(s.chboKortsluitbeveiliging);
    w.u8(s.chboMolaTussentijd);
    w.u8(s.chboMolaWisselSein115200);
    w.u8(s.chboMolaLoc7bit);
    w.u8(s.chboDCC19200);
    w.ch(s.cboS88poort);
    w.u8(0);
    w.i16(s.cboBaudrate);
    w.i16(s.edtLPTAdres);
    w.i32(s.cboS88Baudrate);
    w.f32(gSpeedFactor);
}

float decodeSettingsRecord(vestrel::ByteReader& r) {
    Settings& s = gSettings;
    r.skip(2);
    // Digits the layout and locomotive files would refuse are not taken: the client keeps its own.
    const char scale = r.ch();
    if (scale >= '1' && scale <= '8') gScaleDigit = scale;
    gTurnoutSizeMode = r.u8();
    const char zoom = r.ch();
    if (zoom >= '1' && zoom <= '9') gZoomDigit = zoom;
    gTimeBase = r.u8();
    s.edtLengteKorte = r.i16();
    s.edtSnelhOranje = r.i16();
    s.chboWagondetectie = r.u8();
    s.chboPositiecontrole = r.u8();
    s.chboVerkeerdeWeg = r.u8();
    s.chboDirectBooster = r.u8();
    s.cboCompoort = r.ch();
    s.chboCTS = r.u8();
    s.radbtnP50X = r.u8();
    s.chboWSDecTussentijd = r.u8();
    s.chboMMWisselSeinCont = r.u8();
    s.chboKortsluitbeveiliging = r.u8();
    s.chboMolaTussentijd = r.u8();
    s.chboMolaWisselSein115200 = r.u8();
    s.chboMolaLoc7bit = r.u8();
    s.chboDCC19200 = r.u8();
    s.cboS88poort = r.ch();
    r.skip(1);
    s.cboBaudrate = r.i16();
    s.edtLPTAdres = r.i16();
    s.cboS88Baudrate = r.i32();
    return r.f32();
}

namespace {
std::vector<uint8_t> wordAndVersion(const char* word, int wordSize, const char* version) {
    std::vector<uint8_t> out(word, word + wordSize);
    // Exactly the version field: its characters, cut or padded with zeros, and the terminating zero.
    const size_t n = std::min<size_t>(std::strlen(version), kVersionTextSize - 1);
    out.insert(out.end(), version, version + n);
    out.resize(wordSize + kVersionTextSize, 0);
    return out;
}
}  // namespace

std::vector<uint8_t> netBanner(const char* version) { return wordAndVersion(kNetMakerWord, kNetMakerWordSize, version); }

std::vector<uint8_t> netAnswer(const char* version) { return wordAndVersion(kNetClientWord, kNetClientWordSize, version); }
