#pragma once
// The sample layout of data/voorbeeld.vtl, built in code: a small station on an oval (four blocks in a
// loop and a passing loop), with its connections generated as "Verbindingen genereren" makes them.
#include <cmath>

#include "layout/analysis/connection_analysis.h"
#include "layout/layout_builder.h"
#include "layout/model/layout_model.h"
#include "layout/small_layout.h"
#include "platform/desktop.h"

namespace smalllayout {

// Feedback inputs on the first and last section, so that no section lacks its contact.
inline BlockRec* station(std::initializer_list<DiagramPoint> points, int16_t number, char direction, int16_t firstInput) {
    BlockRec* b = addBlock(points, number, direction);
    b->sectionInputs[1] = firstInput;
    b->sectionInputs[b->sections] = static_cast<int16_t>(firstInput + 1);
    float total = 0;
    for (int s = 0; s < b->sections; ++s) total += b->sectionLengths[s];
    b->totalLength = static_cast<int16_t>(std::lround(total));
    b->allowedTrains = 0x8F;
    b->speed = 80;
    return b;
}

// An oval with a passing loop in the station at the bottom: blocks 1 (top), 5 (left), 6 (right), the main
// track 2 and the loop 3 between turnouts 1 and 2, signals at the station exits, an uncoupling rail and a
// contact on the loop.
inline void buildSampleLayout() {
    clearElementTables();
    station({{128, 72}, {208, 72}, {432, 72}, {512, 72}}, 1, 'B', 1);
    addTrack({{128, 72}, {80, 72}, {48, 104}});
    station({{48, 104}, {48, 176}, {48, 240}, {48, 312}}, 5, 'B', 3);
    addTrack({{48, 312}, {80, 344}, {128, 344}});
    addTurnout('l', {128, 344}, 0, 1);
    BlockRec* main = station({{160, 344}, {200, 344}, {440, 344}, {480, 344}}, 2, 'H', 5);
    addTrack({{158, 336}, {184, 312}});
    BlockRec* loop = station({{184, 312}, {224, 312}, {416, 312}, {456, 312}}, 3, 'T', 7);
    addTrack({{456, 312}, {482, 336}});
    addTurnout('r', {512, 344}, 180, 2);
    addTrack({{512, 344}, {560, 344}, {592, 312}});
    station({{592, 312}, {592, 240}, {592, 176}, {592, 104}}, 6, 'B', 9);
    addTrack({{592, 104}, {560, 72}, {512, 72}});
    // Accessory numbers are unique among turnouts, signals and outputs: turnouts 1 and 2, signals 3 and 4,
    // the uncoupling rail address 10 (green button).
    addSignal({464, 356}, 0, 3, main, 'H');
    addSignal({196, 300}, 0, 4, loop, 'T');
    addOutput({300, 296}, 0, 2 * 10 + 1);
    addInput({330, 354}, 0, 11);
    // The connections, as "Verbindingen genereren" with block 1 as drawn ("Ja") makes them.
    vestrel::setDesktopOpener([](const std::string&) { return true; });
    analyseConnections(blockNumbered(1));
    vestrel::setDesktopOpener(nullptr);
}

}  // namespace smalllayout
