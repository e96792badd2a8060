#pragma once
// The fixed layout of the fuzz harnesses that read a layout's companion files: the session layout's kinds
// (blocks 1 and 2, turnout 1, signal 5, output key 25, input 12, turntable 1), blocks 3 and 4, signal 7,
// the double turnout 8 / 3008, and connections 0: 1->2 (over turnout 1), 1: 2->3, 2: 3->1, 3: 3->4 as the
// route-file fixtures have them.
#include "layout/layout_builder.h"
#include "layout/model/block_geometry.h"
#include "layout/model/double_turnouts.h"

inline void buildFuzzLayout() {
    LayoutBuilder()
        .block(1, {{100, 100}, {200, 100}, {300, 100}})
        .block(2, {{100, 200}, {200, 200}, {300, 200}})
        .block(3, {{400, 400}, {500, 400}, {600, 400}})
        .block(4, {{100, 460}, {200, 460}, {300, 460}})
        .turnout('l', 1, {{400, 100}, {440, 100}, {440, 130}})
        .turnout('l', 8, {{400, 250}, {440, 250}, {440, 280}})
        .turnout('r', 3008, {{500, 250}, {540, 250}, {540, 220}})
        .signal(5, 1, 'H', {320, 90})
        .signal(7, 2, 'H', {320, 190})
        .output(25, {500, 200})
        .input(12, {500, 300})
        .turntable(1, {200, 400}, {300, 400}, 12)
        .connection(1, 2, 'H', {{1, 'G'}})
        .connection(2, 3, 'H')
        .connection(3, 1, 'H')
        .connection(3, 4, 'H')
        .measureBlocks();
    turnoutNumbered(3008)->partner = 1;
    relinkDoubleTurnouts();
    // Lengths as the editor stores them with each block: the trains of the locomotive file fit.
    for (BlockRec* b : gBlocks) computeBlockGeometry(*b);
}
