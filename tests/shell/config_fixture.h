#pragma once
// vestrel.cfg written by hand from its item table: each field is one item, in file order, with the
// defaults of a fresh file.
#include <cstdint>
#include <string>
#include <vector>

struct CfgFixture {
    std::string layout = "geennaam.vtl";   // 1  text, 2 LF
    std::string loco = "geennaam.loc";     // 2  text, 2 LF
    std::string background;                // 3  text, 1 LF
    int16_t beeldX = 0;                    // 4  int16, no separator
    int16_t beeldY = 0;                    // 5  int16, no separator
    int16_t beeldZoom = 100;               // 6  int16, no separator
    uint8_t transparant = 0;               // 7  byte, no separator
    uint8_t vaag = 0;                      // 8  byte
    uint8_t compoort = '1';                // 9  character
    uint8_t cts = 0;                       // 10
    uint8_t timeBase = 1;                  // 11
    uint8_t visuTerugmeld = 0;             // 12
    uint8_t constant = '0';                // 13
    int16_t lengteKorte = 0;               // 14 int16
    int16_t snelhOranje = 0;               // 15 int16
    uint8_t directBooster = 0;             // 16
    uint8_t achtergrondbeeld = 0;          // 17
    int16_t baudrate = 2400;               // 18 int16
    uint8_t s88poort = '0';                // 19 character 48..59
    uint8_t kortsluit = 0;                 // 20
    uint8_t mola115200 = 0;                // 21
    uint8_t dcc19200 = 0;                  // 22
    uint8_t molaTussentijd = 0;            // 23
    uint8_t molaLoc7bit = 0;               // 24
    uint8_t visuVerbinding = 0;            // 25
    int16_t lptAdres = 888;                // 26 int16
    uint8_t wagondetectie = 0;             // 27
    uint8_t positiecontrole = 0;           // 28
    uint8_t visuNummer = 0;                // 29
    uint8_t visuSectie = 0;                // 30
    uint8_t netMode = 0;                   // 31
    uint8_t compoortb = '0';               // 32 character
    uint8_t cyclus46 = 0;                  // 33
    uint8_t wsDecTussentijd = 0;           // 34
    uint8_t verkeerdeWeg = 0;              // 35
    uint8_t mmCont = 0;                    // 36
    uint8_t p50x = 0;                      // 37
    uint8_t orientation = 0;               // 38
    int32_t s88Baudrate = 115200;          // 39 int32
    uint8_t turnoutLength = 2;             // 40
    uint8_t turnoutWidth = 0;              // 41

    std::vector<uint8_t> bytes() const;
};

// Puts the process-wide settings and names back to their state at program start.
void resetConfigState();
