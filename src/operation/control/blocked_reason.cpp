// Why a locomotive does not proceed, in words.
#include <cstdio>
#include <string>

#include "network/model/net_queue.h"
#include "operation/control/loco_operation.h"
#include "operation/engine/route_aspects.h"
#include "operation/model/train_model.h"
#include "shell/config/messages.h"
#include "shell/model/app_state.h"

namespace {

// One sentence each (codes 200 and above); %d is the locomotive's number.
const char* sentence(int code) {
    switch (code) {
    case 201: return "Loc %d : blok is reeds voorbehouden door een andere loc !";
    case 202: return "Rijdt locomotief %d in force-mode naar zijn eindsectie !";
    case 203: return "Locomotief %d staat niet op een blok van het traject !";
    case 204: return "Trein %d is langer dan het blok en is dus niet blokbeveiligd.";
    case 210:
        return "Controle 'verkeerde weg' (zie instellingen) : loc gestopt omdat de vrijgavesectie geactiveerd werd "
               "terwijl de loc te ver verwijderd is van deze sectie";
    case 211: return "Loc %d kon niet gepositioneerd worden. Ga verder met geforceerd rijden in rangeermode.";
    default: return nullptr;
    }
}

// The single values 128..132.
const char* singleReason(int code) {
    switch (code) {
    case 128: return "loc staat af";
    case 129: return "wachttijd nog niet verstreken";
    case 130: return "loc staat op het einde van zijn traject";
    case 131: return "sein op geforceerd rood";
    case 132: return "wisselstand niet juist";
    default: return nullptr;
    }
}

// Bits 0x01..0x40, each a line of its own.
const char* const kBitReasons[7] = {"wisselstand niet juist",
                                    "volgend blok heeft tegenovergestelde richting van de trein",
                                    "volgend blok is te kort voor deze trein",
                                    "volgend blok laat treinsoort niet toe of heeft geen bovenleiding",
                                    "\xE9\xE9n of meerdere wissels zijn bezet",
                                    "volgend blok is bezet of S88 geeft bezetmelding",
                                    "wissel staat in manueel en stand niet juist"};

std::string withNumber(const char* format, int number) {
    char text[300];
    std::snprintf(text, sizeof text, format, number);
    return text;
}

}  // namespace

std::string blockedReasonText(int number, int code) {
    if (code >= 200) {
        const char* s = sentence(code);
        return s ? withNumber(s, number) : std::string();
    }
    std::string text = withNumber("Loc %d kan niet doorrijden om volgende reden:", number);
    if (code & 0x80) {
        if (const char* s = singleReason(code)) text += std::string("\n- ") + s;
        return text;
    }
    for (int bit = 0; bit < 7; ++bit)
        if (code & (1 << bit)) text += std::string("\n- ") + kBitReasons[bit];
    return text;
}

void showLocoBlockedReason(LocoRec* loco, int reason) {
    if (!loco) return;
    if (reason != 0) gBlockedReason = static_cast<uint8_t>(reason);
    const int code = reason != 0 ? reason : gBlockedReason;
    if (code == 0) return;
    const bool alwaysSent = reason >= 210 && reason <= 220;
    if (gRequestingClient != 0 || alwaysSent)
        netQueueRecord(30, 2, 18, loco->number, loco->slot, 256 * gRequestingClient + code);
    if (gRequestingClient == 0) {
        const std::string text = blockedReasonText(loco->number, code);
        if (!text.empty()) showDialogMessage(text, 1);
    }
}
