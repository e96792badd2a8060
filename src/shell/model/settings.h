#pragma once
// The settings kept in vestrel.cfg and edited in the settings dialog. Each field is named after the
// dialog control that edits it. The configuration file owns their storage, ranges and defaults.
#include <cstdint>

struct Settings {
    // Background bitmap (its file name is gBackgroundFileName).
    int16_t edtBeeldX = 0;
    int16_t edtBeeldY = 0;
    int16_t edtBeeldZoom = 100;          // percent, 10..500
    uint8_t chboBeeldTransparant = 0;
    uint8_t chboBeeldVaag = 0;
    uint8_t chboAchtergrondbeeld = 0;    // background shown

    // Command station and feedback link.
    char cboCompoort = '1';              // track port '1'..'9'
    char cboCompoortb = '0';             // second port '0' none, '1'..'9'
    uint8_t chboCTS = 0;
    int16_t cboBaudrate = 2400;          // 2400, 4800, 9600, 19200
    char cboS88poort = '0';              // '0' none, '1' LPT1, '2' LPT2, '3'..';' COM1..COM9
    int16_t edtLPTAdres = 0x378;
    int32_t cboS88Baudrate = 115200;     // 38400, 57600, 115200
    uint8_t chboDirectBooster = 0;       // direct track signal without a command station
    uint8_t chboKortsluitbeveiliging = 0;  // 0 off, 1 on, 2 on with "+V" (chboPosV)
    uint8_t chboMolaWisselSein115200 = 0;
    uint8_t chboDCC19200 = 0;
    uint8_t chboMolaTussentijd = 0;
    uint8_t chboMolaLoc7bit = 0;
    uint8_t chboWSDecTussentijd = 0;
    uint8_t chboMMWisselSeinCont = 0;
    uint8_t radbtnP50X = 0;              // P50X alone (else P50 + P50X)

    // Running options and display.
    uint8_t chboVisuTerugmeld = 0;
    int16_t edtLengteKorte = 0;          // short-train length in cm, 0..300
    int16_t edtSnelhOranje = 0;          // speed at an orange light: 0 or 30..70
    uint8_t chboVisuVerbinding = 0;
    uint8_t chboWagondetectie = 0;
    uint8_t chboPositiecontrole = 0;
    uint8_t chboVerkeerdeWeg = 0;
    uint8_t chboVisuNummer = 0;
    uint8_t chboVisuSectie = 0;
    uint8_t chboCyclus46ms = 0;          // cycle time 45 ms instead of 30 ms
};

extern Settings gSettings;

// Model seconds per real second, 1..60; stored with the settings.
extern uint8_t gTimeBase;

// Entries of the scale and zoom lists of the settings dialog; the main window shows them too.
constexpr int kScaleItemCount = 8;
extern const char* const kScaleItems[kScaleItemCount];  // scale digit '1' is entry 0
constexpr int kZoomItemCount = 5;
extern const char* const kZoomItems[kZoomItemCount];    // zoom digit '1' is entry 0
