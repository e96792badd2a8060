#pragma once
// What differs between the kinds of point element for their entry (point_entry.cpp): table, flags, start
// values, outline and angle, drawing, commit, and what a finished move records.
#include <algorithm>
#include <memory>

#include "layout/editor/edit_journal.h"
#include "layout/editor/editor_state.h"
#include "layout/draw/element_draw.h"
#include "layout/editor/entry_state.h"
#include "layout/model/geometry.h"
#include "layout/editor/point_commit.h"
#include "layout/editor/point_entry.h"
#include "layout/model/scale.h"
#include "platform/byte_io.h"
#include "shell/model/app_state.h"
#include "shell/model/schema_state.h"
#include "steps/model/step_codec.h"
#include "steps/files/step_file.h"
#include "steps/editor/step_boxes.h"
#include "steps/model/step_program.h"

// The turnout subtype being entered and the leg that follows the pointer.
inline char gEnteredSubtype = 'l';
inline int gHeldLeg = 0;
inline int32_t gNoAngle = 0;  // a step box is not turned

// What differs between the kinds: table, flags, start values, outline and angle, drawing, commit, and
// what a finished move records.
template <class Rec>
struct PointKind;

template <>
struct PointKind<TurnoutRec> {
    static constexpr int kPoints = 5;  // the four legs and the centre
    static constexpr const char* kFull = "Maximum aantal wissels/kruisingen bereikt !";
    static constexpr bool kMoveConfirmedByDialog = false;
    static auto& table() { return gTurnouts; }
    static bool& inserting() { return gInsertingTurnout; }
    static bool& moving() { return gMovingTurnout; }
    static TurnoutRec*& selected() { return gSelectedTurnout; }
    static std::unique_ptr<TurnoutRec>& entered() { return gEntered.turnout; }
    static void begin(TurnoutRec& t) {
        t.subtype = gEnteredSubtype;
        t.position = 'G';
    }
    static void restart(TurnoutRec& t) { t.number = 0; }
    static void layoutAt(TurnoutRec& t, DiagramPoint p) { layoutTurnout(t, p, gHeldLeg); }
    static int32_t& angle(TurnoutRec& t) { return t.angle; }
    static DiagramPoint anchor(const TurnoutRec& t) { return t.legs[0]; }
    static void getPoints(const TurnoutRec& t, DiagramPoint* p) {
        for (int k = 0; k < 4; ++k) p[k] = t.legs[k];
        p[4] = t.centre;
    }
    static void setPoints(TurnoutRec& t, const DiagramPoint* p) {
        for (int k = 0; k < 4; ++k) t.legs[k] = p[k];
        t.centre = p[4];
    }
    static void draw(TurnoutRec& t, int erase, int backBuffer) { drawTurnout(t, erase, backBuffer); }
    static int commit(TurnoutRec& t) { return commitTurnout(t); }
    static void beginMove(TurnoutRec& t) {
        computeTurnoutSize(&t, 0);
        gHeldLeg = 0;
    }
    static void saveCopy(const TurnoutRec& t) { *gJournalScratch.turnout = t; }
    static void restoreCopy(TurnoutRec& t) { t = *gJournalScratch.turnout; }
    static void keepMove(TurnoutRec& t, int index) {
        gDirtyFlags |= 1;
        journalRecordEdit('w', &t, gJournalScratch.turnout, index, index);
    }
};

template <>
struct PointKind<SignalRec> {
    static constexpr int kPoints = 4;
    static constexpr const char* kFull = "Maximum aantal seinen bereikt !";
    static constexpr bool kMoveConfirmedByDialog = true;  // the signal dialog records the change
    static auto& table() { return gSignals; }
    static bool& inserting() { return gInsertingSignal; }
    static bool& moving() { return gMovingSignal; }
    static SignalRec*& selected() { return gSelectedSignal; }
    static std::unique_ptr<SignalRec>& entered() { return gEntered.signal; }
    static void begin(SignalRec& s) { s.aspect = 'G'; }
    static void restart(SignalRec& s) {
        s.number = 0;
        s.orangeNumber = 0;
    }
    static void layoutAt(SignalRec& s, DiagramPoint p) { layoutSignal(s, p); }
    static int32_t& angle(SignalRec& s) { return s.angle; }
    static DiagramPoint anchor(const SignalRec& s) { return s.outline[0]; }
    static void getPoints(const SignalRec& s, DiagramPoint* p) { std::copy(s.outline, s.outline + 4, p); }
    static void setPoints(SignalRec& s, const DiagramPoint* p) { std::copy(p, p + 4, s.outline); }
    static void draw(SignalRec& s, int erase, int backBuffer) { drawSignal(s, erase, backBuffer); }
    static int commit(SignalRec& s) { return commitSignal(s); }
    static void beginMove(SignalRec&) {}
    static void saveCopy(const SignalRec& s) { *gJournalScratch.signal = s; }
    static void restoreCopy(SignalRec& s) { s = *gJournalScratch.signal; }
    static void keepMove(SignalRec&, int) {}
};

template <>
struct PointKind<OutputRec> {
    static constexpr int kPoints = 4;
    static constexpr const char* kFull = "Maximum aantal ontkoppelrails/uitgangen bereikt !";
    static constexpr bool kMoveConfirmedByDialog = false;
    static auto& table() { return gOutputs; }
    static bool& inserting() { return gInsertingOutput; }
    static bool& moving() { return gMovingOutput; }
    static OutputRec*& selected() { return gSelectedOutput; }
    static std::unique_ptr<OutputRec>& entered() { return gEntered.output; }
    static void begin(OutputRec&) {}
    static void restart(OutputRec& o) {
        o.key = 0;
        o.state = 'R';
    }
    static void layoutAt(OutputRec& o, DiagramPoint p) { layoutOutput(o, p); }
    static int32_t& angle(OutputRec& o) { return o.angle; }
    static DiagramPoint anchor(const OutputRec& o) { return o.outline[0]; }
    static void getPoints(const OutputRec& o, DiagramPoint* p) { std::copy(o.outline, o.outline + 4, p); }
    static void setPoints(OutputRec& o, const DiagramPoint* p) { std::copy(p, p + 4, o.outline); }
    static void draw(OutputRec& o, int erase, int backBuffer) { drawOutput(o, erase, backBuffer); }
    static int commit(OutputRec& o) { return commitOutput(o); }
    static void beginMove(OutputRec&) {}
    static void saveCopy(const OutputRec& o) { *gJournalScratch.output = o; }
    static void restoreCopy(OutputRec& o) { o = *gJournalScratch.output; }
    static void keepMove(OutputRec& o, int index) {
        gDirtyFlags |= 2;
        journalRecordEdit('w', &o, gJournalScratch.output, index, index);
    }
};

template <>
struct PointKind<InputRec> {
    static constexpr int kPoints = 2;
    static constexpr const char* kFull = "Maximum aantal ingangen bereikt !";
    static constexpr bool kMoveConfirmedByDialog = false;
    static auto& table() { return gInputs; }
    static bool& inserting() { return gInsertingInput; }
    static bool& moving() { return gMovingInput; }
    static InputRec*& selected() { return gSelectedInput; }
    static std::unique_ptr<InputRec>& entered() { return gEntered.input; }
    static void begin(InputRec&) {}
    static void restart(InputRec& i) {
        i.number = 0;
        i.state = 0;
    }
    static void layoutAt(InputRec& i, DiagramPoint p) { layoutInput(i, p); }
    static int32_t& angle(InputRec& i) { return i.angle; }
    static DiagramPoint anchor(const InputRec& i) { return i.anchor; }
    static void getPoints(const InputRec& i, DiagramPoint* p) {
        p[0] = i.anchor;
        p[1] = i.secondPoint;
    }
    static void setPoints(InputRec& i, const DiagramPoint* p) {
        i.anchor = p[0];
        i.secondPoint = p[1];
    }
    static void draw(InputRec& i, int erase, int backBuffer) { drawInput(i, erase, backBuffer); }
    static int commit(InputRec& i) { return commitInput(i); }
    static void beginMove(InputRec&) {}
    static void saveCopy(const InputRec& i) { *gJournalScratch.input = i; }
    static void restoreCopy(InputRec& i) { i = *gJournalScratch.input; }
    static void keepMove(InputRec& i, int index) {
        gDirtyFlags |= 2;
        journalRecordEdit('w', &i, gJournalScratch.input, index, index);
    }
};

template <>
struct PointKind<StepProgramRec> {
    static constexpr int kPoints = 2;  // the box's corners
    static constexpr const char* kFull = "Maximum aantal stappenprogramma's bereikt !";
    static constexpr bool kMoveConfirmedByDialog = false;
    static auto& table() { return gStepPrograms; }
    static bool& inserting() { return gInsertingStepBox; }
    static bool& moving() { return gMovingStepBox; }
    static StepProgramRec*& selected() { return gCurStepBox; }
    static std::unique_ptr<StepProgramRec>& entered() { return gEntered.stepProgram; }
    static void begin(StepProgramRec& p) { p.firstStep = static_cast<int16_t>(gStepCount); }
    static void restart(StepProgramRec& p) { p.name = "program XX"; }
    static void layoutAt(StepProgramRec& p, DiagramPoint at) { layoutStepBox(p, at); }
    static int32_t& angle(StepProgramRec&) { return gNoAngle; }
    static DiagramPoint anchor(const StepProgramRec& p) { return {p.box.left, p.box.top}; }
    static void getPoints(const StepProgramRec& p, DiagramPoint* q) {
        q[0] = {p.box.left, p.box.top};
        q[1] = {p.box.right, p.box.bottom};
    }
    static void setPoints(StepProgramRec& p, const DiagramPoint* q) { p.box = {q[0].x, q[0].y, q[1].x, q[1].y}; }
    static void draw(StepProgramRec& p, int erase, int backBuffer) { drawStepBox(p, erase, backBuffer); }
    static int commit(StepProgramRec& p) { return commitStepBox(p); }
    static void beginMove(StepProgramRec&) {}
    // The scratch copy of a program is its stored image.
    static void saveCopy(const StepProgramRec& p) {
        vestrel::ByteWriter w;
        encodeStepProgram(w, p);
        std::copy(w.data().begin(), w.data().end(), gJournalScratch.stepProgram);
    }
    static void restoreCopy(StepProgramRec& p) {
        vestrel::ByteReader r(gJournalScratch.stepProgram, kStepProgramRecSize);
        LocoRec* const loco = p.boundLoco;
        decodeStepProgram(r, p);
        p.boundLoco = loco;
    }
    static void keepMove(StepProgramRec&, int) { saveStepProgramFile(); }
};

