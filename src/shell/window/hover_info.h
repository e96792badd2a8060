#pragma once
// The editor's hover information: a yellow label (lblInfo) that names the tool-bar button or the
// element under the pointer, with its number, lengths and angle, and highlights the track or the block
// sections under it. The input routing asks for it with lblInfo's Tag (requestHoverInfo); the next tick
// answers.
#include <cstdint>
#include <string>

#include "layout/model/layout_model.h"

struct StepProgramRec;

extern BlockRec* gHoverBlock;     // the block highlighted by the hover information
extern TrackRec* gHoverTrack;     // the track highlighted by it
extern int gHoverSectionKind;     // the section kind last marked in gHoverBlock

// What lies under a point: a tool-bar letter, an element code 401..408 with the element, or a layer
// button 501, 502, 504; 0 nothing.
struct HoverHit {
    int code = 0;
    TrackRec* track = nullptr;
    BlockRec* block = nullptr;
    int segment = 0;  // the track's segment or the block's section index
    TurnoutRec* turnout = nullptr;
    SignalRec* signal = nullptr;
    OutputRec* output = nullptr;
    InputRec* input = nullptr;
    TurntableRec* turntable = nullptr;
    int turntableTrack = 0;
    StepProgramRec* stepBox = nullptr;
};

// The hit at p (gMousePoint is set to p for the hit tests and restored). Without a hit, the point
// element an editor operation is placing, while no dialog is open.
HoverHit findHoverHit(DiagramPoint p);
// The label's text for a hit (8-bit Windows text); false for a code that leaves the text as it was.
bool hoverText(const HoverHit& hit, std::string& text);

struct LabelPlace {
    int left = 0;
    int top = 0;
};
// Over the diagram the label stands right of and below the pointer, pushed left and up so that it stays
// inside the client width and 23 pixels above the canvas bottom; over the tool bar it is centred on the
// pointer at the top.
LabelPlace hoverLabelPlace(DiagramPoint p, bool overDiagram, int labelWidth, int labelHeight, int clientWidth,
                           int canvasHeight);

// lblInfo's Tag: y * 65536 + x of the point to describe, 0 none (also without a main window).
int32_t hoverRequest();
// Answers the request (one tick's step of the editor) and clears it.
void showHoverInfo();
// Marks the hit's track, or the sections of the hit's kind in its block, on the diagram.
void highlightHoverElement(const HoverHit& hit);
// Keeps the highlight only on the hit's block (code 402) or track (401) and plainly redraws the one
// highlighted before.
void updateHoverHighlight(const HoverHit& hit);
