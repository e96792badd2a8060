#include "layout/editor/point_commit.h"

#include <algorithm>
#include <cstdlib>

#include "layout/model/accessory_numbers.h"
#include "layout/editor/edit_journal.h"
#include "layout/editor/editor_forms.h"
#include "layout/editor/editor_state.h"
#include "layout/draw/element_draw.h"
#include "layout/editor/entry_aids.h"
#include "layout/editor/entry_state.h"
#include "layout/model/geometry.h"
#include "layout/editor/hit_test.h"
#include "layout/model/parse_number.h"
#include "layout/editor/point_entry.h"
#include "shell/model/app_state.h"
#include "shell/config/messages.h"
#include "steps/editor/step_boxes.h"
#include "steps/model/step_program.h"

namespace {

constexpr const char* kPointTaken = "Dit punt is reeds bezet !";

// The first leg that lies on an element end, -1 when none does; false when a leg lies on a taken point.
bool findJoinedLeg(TurnoutRec& t, int& leg, DiagramPoint& at, ConnectionHit& hit) {
    leg = -1;
    for (int k = 0; k < 4; ++k) {
        if (t.legs[k] == DiagramPoint{}) continue;
        DiagramPoint q = t.legs[k];
        const ConnectionHit h = findConnectionAt(q, &t);
        if (h.several) {
            showDialogMessage(kPointTaken, 1);
            return false;
        }
        if (h.kind) {
            leg = k;
            at = q;
            hit = h;
            return true;
        }
    }
    return true;
}

void storeCrossing(TurnoutRec& t) {
    t.number = 0;
    t.holder = nullptr;
    layoutTurnout(t, gJoinPoint, gMovePointIndex);
    eraseEntryCrosshair();
    drawTurnout(t, 0, 1);
    showEntryCrosshair();
    gTurnouts.append(std::move(gEntered.turnout));
    gDirtyFlags |= 1;
    journalRecordEdit('t', &t, static_cast<const TurnoutRec*>(nullptr), gTurnouts.indexOf(&t), 0);
    gEditMode = kEditNew;
}

int highestInputNumber() {
    int highest = 0;
    for (const InputRec* i : gInputs) highest = std::max<int>(highest, i->number);
    return highest;
}

// "program " and the next number after those of the programs named so.
std::string nextProgramName(const std::string& name) {
    const std::string head = name.substr(0, 8);
    int highest = 0;
    for (const StepProgramRec* p : gStepPrograms)
        if (p->name.compare(0, 8, head) == 0)
            highest = std::max(highest, parseNumber(p->name.substr(8)));
    return head + std::to_string(highest + 1);
}

}  // namespace

int commitTurnout(TurnoutRec& t) {
    int leg = -1;
    DiagramPoint at;
    ConnectionHit hit;
    if (!findJoinedLeg(t, leg, at, hit)) return 0;
    if (leg >= 0) {
        const int own = normalizeAngle(turnoutConnectionAngle(t, leg));
        if (hit.angle != kNoDirection && compareAngles(normalizeAngle(hit.angle + 180), own, 60) != 0) {
            showDialogMessage("De hoek tussen beide bouwstenen is te klein !", 1);
            return 0;
        }
        gJoinPoint = at;
        gMovePointIndex = leg;
    } else {
        gMovePointIndex = heldTurnoutLeg();
        gJoinPoint = t.legs[gMovePointIndex];
    }
    if (gMovingTurnout) {
        layoutTurnout(t, gJoinPoint, gMovePointIndex);
        return 1;
    }
    if (t.subtype == 'x') {
        storeCrossing(t);
        return 1;
    }
    t.number = static_cast<int16_t>(findFreeAddress(0, 0, 0, kAddressTurnout, 1));
    t.pulseTime = 2;
    showElementDialog(403);
    return 1;
}

int matchSignalToBlock(const SignalRec& s, const BlockRec& b, int& angle, char& letter) {
    const DiagramPoint* p = b.points;
    const int count = std::clamp(b.sections, 0, kMaxSections);
    int section = 0, half = 0;
    for (int k = 1; k <= count && p[k].x != 0 && !section; ++k) {
        half = pointOnSegment(p[k - 1].x, p[k - 1].y, p[k].x, p[k].y, s.outline[0], 12);
        if (half) section = k;
    }
    if (!section) return 0;
    const int direction = b.sectionAngles[section - 1];
    if (std::abs(normalizeAngle(normalizeAngle(-s.angle) - direction)) > 90) {
        letter = 'T';
        angle = normalizeAngle(180 - direction);
    } else {
        letter = 'H';
        angle = normalizeAngle(-direction);
    }
    const int kind = b.sectionKinds[section - 1];
    if ((letter == 'H' && kind != 6) || (letter == 'T' && kind != 1)) return 0;
    for (const SignalRec* other : gSignals)
        if (other != &s && other->block == &b && other->direction == letter) return -1;
    return half;
}

int commitSignal(SignalRec& s) {
    bool guarded = false;
    BlockRec* block = nullptr;
    for (int k = gBlockCount - 1; k >= 0 && !block; --k) {
        int angle = 0;
        char letter = 0;
        const int match = matchSignalToBlock(s, *gBlocks[k], angle, letter);
        if (match == -1) guarded = true;
        if (match == 1 || match == 2) {
            block = gBlocks[k];
            gSignalAngle = angle;
            gSignalDirection = letter;
        }
    }
    if (!block) {
        showDialogMessage(guarded ? "Er is reeds een sein in deze richting voor dit blok !"
                                  : "Het sein is te ver verwijderd van een eindsectie of de richting van het sein "
                                    "komt niet overeen met deze van de eindsectie !",
                          1);
        return 0;
    }
    gSignalBlock = block;
    if (s.number == 0) {
        s.number = static_cast<int16_t>(findFreeAddress(0, 0, 0, kAddressSignal, 1));
        s.orangeNumber = 0;
        s.pulseTime = 2;
    }
    showElementDialog(404);
    return 1;
}

int commitOutput(OutputRec& o) {
    if (gMovingOutput) {
        layoutOutput(o, o.outline[0]);
        return 1;
    }
    if (o.key == 0) o.key = static_cast<int16_t>(findFreeAddress(0, 0, 0, kAddressOutput, 1));
    o.state = 0;
    o.pulseTime = 5;
    showElementDialog(405);
    return 1;
}

int commitInput(InputRec& i) {
    if (gMovingInput) {
        layoutInput(i, i.anchor);
        return 1;
    }
    if (i.number == 0) i.number = static_cast<int16_t>(highestInputNumber() + 1);
    showElementDialog(406);
    return 1;
}

int commitStepBox(StepProgramRec& p) {
    p.currentStep = 0;
    p.state = 0;
    p.waitLeft = 0;
    p.nextSecond = 0;
    p.boundLoco = nullptr;
    if (gMovingStepBox) {
        layoutStepBox(p, {p.box.left, p.box.top});
        return 1;
    }
    p.name = nextProgramName(p.name);
    gEditMode = kEditCommitted;
    showElementDialog(408);
    return 1;
}
