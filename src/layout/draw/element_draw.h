#pragma once
// Drawing of the layout elements on the diagram, in the editor and during a session. The same functions
// erase an element (painted in the background colour) and show its running state. Drawing a turnout,
// signal, output, input or step-program box also hands its state to the accessory and network queues.
// The back-buffer flag paints the element on the back buffer too.
#include <cstdint>

#include "layout/model/layout_model.h"

namespace vestrel {
class Canvas;
}
struct StepProgramRec;

// A coordinate moved by a few pixels, held at the ends of the int range: a point far off the diagram
// (a file may hold any 32-bit coordinate) stays far off instead of overflowing.
inline int nudge(int32_t v, int by) {
    const int64_t r = static_cast<int64_t>(v) + by;
    return r > INT32_MAX ? INT32_MAX : r < INT32_MIN ? INT32_MIN : static_cast<int>(r);
}

// True while the main window repaints the view after scrolling (its scroll handlers hold the redraw
// countdown at 3 for that repaint); such a repaint hands nothing to the link or the network.
bool repaintingAfterScroll();

void drawPolyline(const DiagramPoint* points, int segments, uint32_t colour, uint32_t shadow, int erase,
                  vestrel::Canvas& canvas);
void drawTrack(TrackRec& t, int erase, int backBuffer);  // a turntable's bridge is not drawn here
void drawBlock(BlockRec& b, int erase, int backBuffer);
void drawBlockSegment(BlockRec& b, int section, int backBuffer);  // section 0..sections-1
void drawBlockSectionMarks(BlockRec& b, int erase, int backBuffer);
// Mode 0: diagram only; 1: also the back buffer; 2: as 1 without queueing the accessory command.
void drawTurnout(TurnoutRec& t, int erase, int mode);
void drawSignal(SignalRec& s, int erase, int mode);
void drawOutput(OutputRec& o, int erase, int backBuffer);
void drawInput(InputRec& i, int erase, int backBuffer);
// Mode 0 draw, 1 erase, 2 only the bridge (drawn twice it disappears).
void drawTurntable(TurntableRec& t, int mode, int backBuffer);
void drawStepBox(StepProgramRec& p, int erase, int backBuffer);
void drawElementNumber(DiagramPoint point, int number, int erase, vestrel::Canvas& canvas);
void drawLampSquare(int x, int y, int halfSize, uint32_t colour, int highlight, vestrel::Canvas& canvas);
