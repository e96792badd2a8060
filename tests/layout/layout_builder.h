#pragma once
// Test layouts from a short readable description. Elements are given by their points, in diagram
// units, and get the record fields the editor and the element dialogs would give them:
//
//   LayoutBuilder()
//       .block(1, {{220, 300}, {400, 300}, {580, 300}})
//       .turnout('l', 1, {{600, 300}, {580, 300}, {586, 320}})   // root, straight exit, diverging exit
//       .track({{600, 300}, {650, 250}, {650, 100}}).loop()
//       .signal(5, 1, 'H')
//       .output(15, {300, 200}).input(5, {400, 310})
//       .stepProgram("wissel", {{"ingang=1", 5, "(", 0}, {"geen", 0, "uitgang=G", 7, 5}});
//
// Turnout legs are taken as given (no turnout geometry), so a plan need not be to scale.
#include <initializer_list>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "layout/model/layout_model.h"

// Readable points in test failures.
inline void PrintTo(const DiagramPoint& p, std::ostream* os) { *os << "(" << p.x << "," << p.y << ")"; }

class LayoutBuilder {
public:
    // Starts from an empty layout: every element table and the connections are cleared.
    LayoutBuilder();

    // A block of 3..16 points; section 1 is a stop section (kind 1), the last kind 6, the others 0,
    // no feedback inputs, direction 'B'.
    LayoutBuilder& block(int number, std::initializer_list<DiagramPoint> points);
    // Section kinds, then feedback inputs, of the last block, section 1 first.
    LayoutBuilder& kinds(std::initializer_list<int> kinds);
    LayoutBuilder& inputs(std::initializer_list<int> inputs);
    // A connecting track of 2..4 points.
    LayoutBuilder& track(std::initializer_list<DiagramPoint> points);
    // Marks the last block or track as a reversing loop.
    LayoutBuilder& loop();
    // A turnout 'l' or 'r' with legs root, straight exit, diverging exit; a double slip 'k' or a
    // crossing 'x' (number 0) with a fourth leg as well.
    LayoutBuilder& turnout(char subtype, int number, std::initializer_list<DiagramPoint> legs);
    // A signal on block blockNumber guarding its 'H' (last point) or 'T' (first point) end; blockNumber 0
    // leaves it without block. With an anchor its outline starts there (running to anchor + 10 in x),
    // so that the pick tests find it.
    LayoutBuilder& signal(int number, int blockNumber, char direction, DiagramPoint anchor = {});
    // An orange-light number for the last signal.
    LayoutBuilder& orange(int number);
    // An output with key (address * 2 + button) whose outline starts at anchor.
    LayoutBuilder& output(int key, DiagramPoint anchor);
    // The same by address and button ('R' red, 'G' green), state 'G'.
    LayoutBuilder& output(int address, char button, DiagramPoint anchor);
    // A step program with its box from (left, top) to (right, bottom).
    LayoutBuilder& stepBox(const char* name, int left, int top, int right, int bottom);
    // A connection from block `from` to block `to`, leaving by its direction end 'H' or 'T', through the
    // turnouts (number and required position) given; as the analysis would have found it.
    LayoutBuilder& connection(int from, int to, char direction,
                              std::initializer_list<std::pair<int, char>> turnouts = {}, bool loop = false);
    // A feedback input shown at `anchor`.
    LayoutBuilder& input(int number, DiagramPoint anchor);
    // A turntable whose bridge track runs from a to b, laid out with the given number of positions.
    LayoutBuilder& turntable(int number, DiagramPoint a, DiagramPoint b, int positions);

    // Section lengths of every block from its points (the block dialog's geometry leaves them to the
    // element's own computation; the running engine needs them).
    LayoutBuilder& measureBlocks();

    // One step of a step program: condition and action by their labels ("ingang=1", "uitgang=G"),
    // each with its value, and the time in seconds.
    struct Step {
        const char* condition = "geen";
        int conditionValue = 0;
        const char* action = "geen";
        int actionValue = 0;
        int time = 0;
    };
    // A stopped step program whose steps are appended to the step table; its box is anchored at the point.
    LayoutBuilder& stepProgram(const std::string& name, std::initializer_list<Step> steps,
                               DiagramPoint box = {20, 20});

private:
    char last_ = 0;  // 'b' or 'v': what loop() marks
};

BlockRec* blockNumbered(int number);
TurnoutRec* turnoutNumbered(int number);
SignalRec* signalNumbered(int number);

// The code of a condition or action label; an unknown label throws.
int conditionCode(const char* label);
int actionCode(const char* label);

// A connection as text: "<from> <to> <direction>[ loop]" and " <number><position>" per turnout,
// e.g. "1 2 H 1G 2R" or "2 2 T loop 1R".
std::string describeConnection(const ConnectionRec* c);
// A block's section kinds and inputs, section 1 first: "kinds 1 0 6 inputs 11 0 12".
std::string describeSections(const BlockRec* b);
// Every connection in table order.
std::vector<std::string> describeConnections();

// A ring of stations, each a passing loop (entry turnout 'l', two blocks side by side, exit turnout
// 'r') followed by a line block and a short track to the next station; a long track closes the ring.
// Station s (0-based) has turnouts 2s+1 (entry) and 2s+2 (exit), blocks 3s+1 and 3s+2 (the loop) and
// 3s+3 (the line). Every block end leads on, so the analysis finds 8 connections per station.
void buildStationRing(LayoutBuilder& builder, int stations);

// Trains for the running-engine tests. The locomotive runs 28 steps with speed-table entry i = i, step
// delays of 200 ms, mode "Manueel", switched on, direction 'v'; its head stands at `at` on section
// `section` (0-based) of the block and travels toward the block's last point when towardLast, else toward
// its first point. It is appended to gLocs and gLocsOnTrack (with its block-correction buffer) and the
// block is assigned to it when free.
struct LocoRec;
struct WagonRec;
LocoRec* putLocoOnBlock(int number, int blockNumber, int section, DiagramPoint at, bool towardLast, char heading);
// Hangs n wagons of the given length units behind the locomotive (its front chain), on the head's segment:
// the first wagon's front gHalfUnit20cm behind the head, 6 units between wagons.
void hangWagons(LocoRec* loco, int n, int lengthUnits);
// Couples one wagon of the given length units and kind at the outer end of a chain of the locomotive
// (its rear chain when rear, else its front chain); positions are left to the placement.
WagonRec* coupleTestWagon(LocoRec* loco, bool rear, int lengthUnits, char kind = 'G');
// Frees every locomotive and wagon and forgets the trains the layout records name.
void clearTestTrains();
