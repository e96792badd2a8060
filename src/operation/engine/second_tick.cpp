#include "operation/engine/second_tick.h"

#include <QLabel>
#include <algorithm>
#include <cstdio>

#include "layout/draw/diagram_canvas.h"
#include "layout/draw/element_draw.h"
#include "layout/model/layout_model.h"
#include "layout/model/scale.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "network/socket/net_sockets.h"
#include "operation/control/dialog_refresh.h"
#include "operation/control/loco_operation.h"
#include "operation/draw/train_drawing.h"
#include "operation/engine/contact_evaluation.h"
#include "operation/engine/route_aspects.h"
#include "operation/engine/train_reservation.h"
#include "operation/model/train_model.h"
#include "platform/text_codec.h"
#include "shell/main/main_cycle.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"
#include "shell/window/untSchema.h"

ModelClock gModelClock;
int32_t gSecondDue = 0;
uint8_t gBlinkPhase = 0;
uint8_t gFifoRecheckCountdown = 0;

namespace {

constexpr uint8_t kHalted = 0x01;
constexpr uint8_t kErased = 0x04;         // run flags A: the train is erased for a redraw
constexpr uint8_t kSymbolHidden = 0x04;   // run flags B: the blink hides the symbol
constexpr uint8_t kPositionCheck = 0x03;  // run flags B: 0 off, 1 armed, 2 alarm
constexpr uint8_t kCheckArmed = 1;
constexpr uint8_t kCheckAlarm = 2;
constexpr uint8_t kAlarmMark = 0x04;      // block state
constexpr int kFarthestWithoutContact = 240;  // model centimetres
constexpr int kWatchdogSeconds = 6;
constexpr uint32_t kGrey = 0x808080;
constexpr uint32_t kRed = 0x0000FF;

// A tick that comes late advances the clock once; the next second is then due a second after it.
bool secondIsDue() {
    if (gMsTick < 1000) gSecondDue = static_cast<int32_t>(gMsTick);
    if (msBetween(gMsTick, static_cast<uint32_t>(gSecondDue)) < 0) return false;
    gSecondDue += 1000;
    if (msBetween(gMsTick, static_cast<uint32_t>(gSecondDue)) > 0) gSecondDue = static_cast<int32_t>(gMsTick + 1000);
    return true;
}

void advanceModelClock() {
    ModelClock& c = gModelClock;
    c.seconds += gTimeBase;
    if (c.seconds >= 60) {
        c.seconds -= 60;
        if (++c.minutes >= 60) {
            c.minutes = 0;
            if (++c.hours >= 24) c.hours = 0;
        }
    }
}

void countDownWait(LocoRec* t, int row) {
    BlockRec* b = headBlockOf(*t);
    if (!b || b->remainingWait == 0) return;
    if (--b->remainingWait == 0 && gNetMode != 40) reevaluateTrain(t);
    showLocoWaitTime(row);
}

// A halted train's symbol shows one second and hides the next.
void blinkIfHalted(LocoRec* t) {
    if (t->run.runFlagsB & kSymbolHidden) {
        drawLocoSymbol(t);
        t->run.runFlagsB &= static_cast<uint8_t>(~kSymbolHidden);
    } else if (t->run.runFlagsA & kHalted) {
        restoreBackgroundUnderLoco(t);
        t->run.runFlagsB |= kSymbolHidden;
    }
}

// The distance since the last block was left; a train that runs too far without reaching the next
// block's contact is stopped and marked in alarm.
void checkPosition(LocoRec* t, float km) {
    const int add = static_cast<int>(km * 100000 / scaleDenominator(gScaleDigit) + 0.5f);
    // Saturated: a counter that wrapped could jump over the limit and never raise the alarm.
    t->run.distanceCounter = static_cast<uint8_t>(std::clamp(t->run.distanceCounter + add, 0, 255));
    const ConnectionRec* c = t->connection;
    if (t->mode == kModeShunting || t->direction == 'a' || !c || (c->to && c->to->arrivedTrain == t)) {
        t->run.runFlagsB &= static_cast<uint8_t>(~kPositionCheck);
        return;
    }
    if (!gRunWithTrack || !gSettings.chboPositiecontrole || (t->run.runFlagsB & kPositionCheck) != kCheckArmed) return;
    const int counter = t->run.distanceCounter;
    if (counter > kFarthestWithoutContact || counter > scaleLength(80)) {
        t->run.runFlagsB = static_cast<uint8_t>((t->run.runFlagsB & ~kPositionCheck) | kCheckAlarm);
        t->targetStep = 0;
        showLocoSpeed(t, 0);
    }
}

void runLocoSecond(LocoRec* t, int row) {
    const bool onTrackRow = row >= 0;
    if (onTrackRow) {
        countDownWait(t, row);
        blinkIfHalted(t);
    }
    const float km = (t->speedValue != 0 ? t->speedValue : t->shownSpeed) / 3600.0f;
    t->run.kmTotal += km;
    t->run.kmDay += km;
    if (t->heading == 'H') t->run.kmHeadingH += km;
    if (onTrackRow) checkPosition(t, km);
    if (km != 0) refreshLocoKmCounters(t);
}

void blinkForcedRedSignals() {
    gBlinkPhase ^= 1;
    if (!gDiagramCanvas) return;
    for (SignalRec* s : gSignals)
        if (s->aspect == 'S')
            drawLampSquare(s->outline[0].x, s->outline[0].y, 3, gBlinkPhase ? kGrey : kRed, 1, *gDiagramCanvas);
}

void showClock() {
    if (frmSchema) frmSchema->lblTijd->setText(QString::fromStdString(modelClockText()));
    showCycleStatistics();
}

void countClientWatchdog() {
    if (gNetLinkState != 40 || gClientWatchdog >= kWatchdogSeconds) return;
    if (++gClientWatchdog == kWatchdogSeconds && netClientOpen()) netCloseClient();
}

void recheckFifo() {
    if (gFifoRecheckCountdown == 0) return;
    if (--gFifoRecheckCountdown == 0 && reevaluateFifo(nullptr)) updateRoutes();
}

// The other block of the train's connection; none without a connection.
BlockRec* otherBlockOf(const LocoRec& t, const BlockRec* b) {
    const ConnectionRec* c = t.connection;
    if (!c) return nullptr;
    return b == c->from ? c->to : c->from;
}

void redrawMarkedBlock(BlockRec* b) {
    redrawVehiclesInSection(b);
    drawBlock(*b, 0, 1);
    redrawVehiclesInSection(b);
}

}  // namespace

std::string modelClockText() {
    char text[32];
    std::snprintf(text, sizeof text, "%2d:%2.2d:%2.2d", static_cast<int>(gModelClock.hours),
                  static_cast<int>(gModelClock.minutes), static_cast<int>(gModelClock.seconds));
    return text;
}

LocoKmTexts locoKmTexts(const LocoRec& l) {
    char total[48], headingH[48], day[48];
    std::snprintf(total, sizeof total, "%0.0f", static_cast<double>(l.run.kmTotal));
    std::snprintf(headingH, sizeof headingH, "%0.0f", static_cast<double>(l.run.kmHeadingH));
    std::snprintf(day, sizeof day, "%0.2f", static_cast<double>(l.run.kmDay));
    return {total, headingH, day};
}

void secondTick() {
    if (!secondIsDue()) return;
    advanceModelClock();
    for (int row = 0; row < gLocsOnTrack.count(); ++row) runLocoSecond(gLocsOnTrack[row], row);
    for (LocoRec* h : gHelperLocs) runLocoSecond(h, -1);
    blinkForcedRedSignals();
    showClock();
    netQueueRecord(30, 19, 19, gTimeBase, gModelClock.hours, gModelClock.seconds * 256 + gModelClock.minutes);
    countClientWatchdog();
    recheckFifo();
}

void markAlarmSections() {
    if (gNetMode == 40) return;
    for (BlockRec* b : gBlocks) {
        LocoRec* t = b->assignedTrain;
        if (!t) continue;
        const bool alarm = (t->run.runFlagsB & kPositionCheck) == kCheckAlarm || (t->run.runFlagsA & kHalted);
        if (alarm == ((b->state & kAlarmMark) != 0)) continue;
        BlockRec* other = alarm ? otherBlockOf(*t, b) : nullptr;
        if (alarm) {
            b->state |= kAlarmMark;
            if (other) other->state |= kAlarmMark;
        } else {
            b->state &= static_cast<uint8_t>(~kAlarmMark);
        }
        const bool erase = !(t->run.runFlagsA & kErased);
        if (erase) {
            eraseTrain(t);
            t->run.runFlagsA |= kErased;
        }
        redrawMarkedBlock(b);
        if (other) redrawMarkedBlock(other);
        if (erase) drawTrain(t);
        if (netQueueRecord(30, 5, 44, b->number, b->ownIndex, b->state) && other)
            netQueueRecord(30, 5, 44, other->number, other->ownIndex, other->state);
    }
}
