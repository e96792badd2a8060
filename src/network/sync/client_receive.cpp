#include "network/sync/client_receive.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include <cstdio>

#include "layout/model/geometry.h"
#include "link/buffers/link_buffers.h"
#include "layout/draw/element_draw.h"
#include "layout/files/layout_file.h"
#include "layout/frame/render.h"
#include "network/model/net_record_lengths.h"
#include "network/socket/net_mode.h"
#include "network/sync/client_tables.h"
#include "network/sync/client_updates.h"
#include "network/sync/client_wagon_updates.h"
#include "network/sync/record_fields.h"
#include "operation/control/dialog_records.h"
#include "operation/control/emergency_stop.h"
#include "operation/draw/train_drawing.h"
#include "operation/engine/second_tick.h"
#include "operation/model/train_codec.h"
#include "platform/byte_io.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/model/settings.h"
#include "shell/model/app_state.h"
#include "steps/dialogs/step_editor_link.h"
#include "steps/draw/step_number.h"
#include "steps/model/step_program.h"
#include "network/model/net_queue.h"
#include "network/model/net_records.h"
#include "network/model/net_state.h"
#include "network/socket/net_sockets.h"
#include "operation/control/dialog_refresh.h"
#include "operation/control/loco_operation.h"
#include "operation/dialogs/untTrein.h"
#include "operation/engine/contact_evaluation.h"
#include "operation/files/function_decoder_file.h"
#include "operation/model/loco_file_format.h"
#include "operation/model/route_file.h"
#include "operation/model/speed_curve.h"
#include "operation/model/train_model.h"
#include "shell/config/messages.h"
#include "shell/model/version.h"
#include "steps/editor/formula_store.h"
#include "steps/editor/step_store.h"
#include "steps/engine/formula_engine.h"
#include "steps/files/step_file.h"

int gNetCarriedBytes = 0;

namespace {

// The server's banner, possibly arriving in pieces: kept until all 19 bytes are there. Bytes that do
// not begin with the maker word are dropped.
int receiveBanner(int count) {
    const int compared = std::min(count, kNetMakerWordSize);
    if (std::memcmp(gNetInBuffer, kNetMakerWord, static_cast<size_t>(compared)) != 0) {
        gNetCarriedBytes = 0;
        return 0;
    }
    if (count < kNetBannerSize) {
        gNetCarriedBytes = count;
        return 255;
    }
    const std::vector<uint8_t> answer = netAnswer(kVersionText);
    netClientWrite(answer.data(), static_cast<int>(answer.size()));
    const std::vector<uint8_t> own = netBanner(kVersionText);
    gNetCarriedBytes = 0;
    if (std::memcmp(gNetInBuffer, own.data(), own.size()) != 0) {
        gNetLinkState = 1;
        showDialogMessage("De versies server-client zijn verschillend !", 1);
        return 1;
    }
    gNetLinkState = 2;
    gNetOutFill = 0;
    colourNetLabel(vestrel::clGreen);
    netClearClientModel();
    netResetCopyReception();
    const int rest = count - kNetBannerSize;
    if (rest == 0) return 1;
    std::memmove(gNetInBuffer, gNetInBuffer + kNetBannerSize, static_cast<size_t>(rest));
    return netClientReceive(rest);
}

}  // namespace

namespace {


template <class Rec, class Table>
Rec* objectAt(Table& table, int index) {
    return (index >= 0 && index < table.count()) ? table[index] : nullptr;
}

LocoRec* locoOf(int number, int index) {
    LocoRec* l = objectAt<LocoRec>(gLocs, index);
    return (l && l->number == number) ? l : nullptr;
}

void refreshLocoRow(LocoRec* l) {
    const int row = gLocsOnTrack.indexOf(l);
    if (row >= 0) fillControlPostRow(row);
}

// The train position record (kind 2 code 24) at r with `left` bytes: its length, -1 when it has not all
// arrived, 0 when its locomotive is unknown (its length cannot be told, so the batch ends).
int applyTrainPositions(const uint8_t* r, int left) {
    LocoRec* l = locoOf(netAt16(r, 2), netAt16(r, 4));
    if (!l) {
        // The number alone still finds the locomotive after the tables moved.
        l = findLocoByNumber(netAt16(r, 2));
        if (!l) return 0;
    }
    int wagons = 0;
    for (WagonRec* first : {l->rearChain, l->frontChain})
        for (WagonRec* w = first; w && wagons <= kMaxWagons; w = w->next) ++wagons;
    const int length = netTrainPositionLength(wagons);
    if (left < length) return -1;
    vestrel::ByteReader in(r + 6, static_cast<size_t>(length - 6));
    auto readPosition = [&in](PositionRec& p) {
        // Held to what the locomotive-file loader allows: a value that is no number or lies beyond
        // the whole-pixel range would spread through every later move and drawing.
        const auto finite = [&in] {
            const float v = in.f32();
            return std::isfinite(v) ? usableCoordinate(v) : 0.0f;
        };
        p.x = finite();
        p.y = finite();
        p.dx = finite();
        p.dy = finite();
        p.sectionA = in.i32();
        p.sectionB = in.i32();
        const int block = in.u8(), track = in.u8(), turnout = in.u8();
        in.u8();
        p.block = block >= 1 && block <= gBlockCount ? gBlocks[block - 1] : nullptr;
        p.track = track >= 1 && track <= gTrackCount ? gTracks[track - 1] : nullptr;
        p.turnout = turnout >= 1 && turnout <= gTurnoutCount ? gTurnouts[turnout - 1] : nullptr;
        p.ix = truncatedInt(p.x);
        p.iy = truncatedInt(p.y);
        netPositionToClientView(p);
        netDirectionToClientSpeed(p);
    };
    eraseTrain(l);
    readPosition(l->run.head);
    int n = 0;
    for (WagonRec* first : {l->rearChain, l->frontChain})
        for (WagonRec* w = first; w && n < wagons; w = w->next, ++n) {
            readPosition(w->front);
            readPosition(w->rear);
        }
    l->run.runFlagsA |= 0x08;
    drawTrain(l);
    return length;
}

// 2/36: the start-pause seconds in bits 0..2; bit 3 when the server started the pause, which then runs
// here too (the client tick holds the train until its time has come).
void applyStartPause(LocoRec* l, int c) {
    const int seconds = c & 0x07;
    l->run.runFlagsA = static_cast<uint8_t>((l->run.runFlagsA & 0x1F) | (seconds << 5));
    if ((c & 0x08) && seconds != 0) beginStartPause(l, seconds);
}

void applyLocoRecord(LocoRec* l, int code, int c, const uint8_t* r) {
    switch (code) {
    case 12: l->route = objectAt<RouteRec>(gRoutes, c - 1); break;
    case 13: l->run.currentLine = c; break;
    case 25: l->contactRole = static_cast<uint8_t>(c); break;
    case 26:
        l->targetStep = netAt16(r, 6);
        l->effectiveStepDelay = netAt16(r, 8);
        if (r[10]) l->run.runFlagsA |= 0x01;
        else l->run.runFlagsA &= static_cast<uint8_t>(~0x01);
        showLocoSpeed(l, 2);
        // A shunting locomotive takes its new step at once on the server (without a ramp): so here.
        // Nothing is sent from a client; the speed read-outs follow.
        if (l->mode == kModeShunting) queueLocoSpeed(l, 0);
        break;
    case 27:
        // The ramp follows the new setting at once, as where it was set.
        if (c < 0 || c > 10) return;
        l->acceleration = static_cast<uint8_t>(c);
        l->stepDelay = static_cast<int16_t>(calcStepDelay(l, c));
        break;
    case 28:
        // The wait left of the train's block, shown in its row (refilled below) and its panel.
        if (BlockRec* head = headBlockOf(*l); head && c >= 0 && c <= 3600) head->remainingWait = c;
        break;
    case 29: l->running = static_cast<uint8_t>(c != 0); break;
    case 30:
        if (c >= 0 && c <= 3) l->mode = static_cast<uint8_t>(c);
        break;
    case 31:
        // As the server's reversal did: the train's ends turn with its direction.
        if ((c == 'v' || c == 'a') && l->direction != c) {
            eraseTrain(l);
            l->direction = static_cast<char>(c);
            l->run.runFlagsA &= static_cast<uint8_t>(~0x01);
            reverseTrainPositions(l);
            drawTrain(l);
        }
        if (c == 'H' || c == 'T') l->heading = static_cast<char>(c);
        break;
    case 33:
        if (c) l->flags |= kLocoAutoCorrection;
        else l->flags &= static_cast<uint8_t>(~kLocoAutoCorrection);
        break;
    case 34:
        if (c) l->flags |= kLocoForce;
        else l->flags &= static_cast<uint8_t>(~kLocoForce);
        break;
    case 35: showLocoFunction(l, c & 0xFF, (c >> 8) & 0xFF); break;
    case 36: applyStartPause(l, c); break;
    case 43:
        // As the train dialog renumbers: a decoder address, 1..9999, not another locomotive's.
        if (c >= 1 && c <= 9999 && !findLocoByNumber(c)) {
            NetworkSilence local;  // the server did it already: no request goes back
            renumberLoco(l, c);
        }
        return;
    case 45: l->currentStep = static_cast<int16_t>(c); break;
    default: return;
    }
    refreshLocoRow(l);
    // An open locomotive panel on this locomotive shows its buttons and panels anew.
    if (code == 29 || code == 30 || code == 31 || code == 33 || code == 34) refreshLocoPanel(l);
}

void applyTurnout(TurnoutRec* t, int code, int c, const uint8_t* r, int length) {
    switch (code) {
    case 30: t->options ^= 2; break;
    case 37: t->pulseTime = static_cast<uint8_t>(c); return;
    case 44: {
        t->position = static_cast<char>(c & 0xFF);
        if (c & 0xFF00) t->options |= 2;
        else t->options &= static_cast<uint8_t>(~2);
        const int holder = length >= 10 ? netAt16(r, 8) : 0;
        t->holder = holder >= 1 && holder <= gLocCount ? gLocs[holder - 1] : nullptr;
        break;
    }
    default: return;
    }
    drawTurnout(*t, 0, 2);
}

void applyStepProgram(int code, int index, int c) {
    StepProgramRec* p = objectAt<StepProgramRec>(gStepPrograms, index);
    if (!p) return;
    switch (code) {
    case 2: p->boundLoco = gLocsOnTrack[c]; break;
    case 15:
        p->currentStep = static_cast<uint8_t>(c);
        // A stopped program's box shows its step on its own plain background.
        if (p->state == 0) drawStepBox(*p, 0, 1);
        else drawStepNumber(p);
        break;
    case 19: p->waitLeft = static_cast<int16_t>(c); break;
    case 20: p->counter = static_cast<uint8_t>(c); break;
    case 44:
        p->state = static_cast<uint8_t>(c);
        // The server's executor unbinds a stopped program on its next tick, and sends no record of it.
        if (p->state == 0) p->boundLoco = nullptr;
        drawStepBox(*p, 0, 1);
        break;
    default: break;
    }
    if (stepEditorShows(p)) refreshStepEditor();
}

// 10/44: the position the server turns the turntable to (its track 1..2n); the bridge follows in the
// drawing as on the server.
void turnTurntableAsServer(int number, int index, int c) {
    TurntableRec* t = objectAt<TurntableRec>(gTurntables, index);
    const int track = c & 0xFF;
    if (!t || t->number != number || t->positions <= 0 || track < 1 || track > 2 * t->positions) return;
    t->secondPosition = static_cast<uint8_t>(track);
}

enum class Applied { Done, Stop };

// Applies one update record of `length` bytes at r. Stop when the batch ends here (a reconnect).
Applied applyRecord(const uint8_t* r, int length) {
    const int kind = r[0], code = r[1];
    const int a = netAt16(r, 2), b = netAt16(r, 4), c = netAt16(r, 6);
    switch (kind) {
    case 1: netClientEndOfCopy(r); break;
    case 2:
        if (code == 37 || code == 38) netApplyDataRecord(r, length);
        else if (code == 0) netApplyLocoAdded(c);
        else if (LocoRec* l = locoOf(a, b); l && !netApplyLocoChange(l, code, c, r, length)) applyLocoRecord(l, code, c, r);
        break;
    case 3:
        if (code == 37) netApplyDataRecord(r, length);
        else netApplyWagonRecord(r, length);
        break;
    case 10:
        if (code == 44) turnTurntableAsServer(a, b, c);
        else netApplyDataRecord(r, length);
        break;
    case 16:
        if (code == 0 || code == 42) {
            // The server added (at the end) or removed a formula of the step at index a.
            if (code == 42 || b == gFormulaCount) addOrRemoveFormula(a, b, c);
        } else if (code == 16) {
            if (StepProgramRec* p = objectAt<StepProgramRec>(gStepPrograms, a)) evaluateFormula(p, b + 1, 1);
        } else {
            netApplyDataRecord(r, length);
        }
        break;
    case 35:
        if (code == 0) netApplyFunctionDecoderAdded(c);
        else if (code == 42) netApplyFunctionDecoderDeleted(a, b);
        else netApplyDataRecord(r, length);
        break;
    case 13:
    case 15: netApplyDataRecord(r, length); break;
    case 5:
        if (BlockRec* blk = objectAt<BlockRec>(gBlocks, b); blk && blk->number == a) {
            if (code == 37) netApplyDataRecord(r, length);
            if (code == 9) blk->occupiedSections = static_cast<int16_t>(c);
            if (code == 44) {
                blk->state = static_cast<uint8_t>(c);
                drawBlock(*blk, 0, 1);
            }
        }
        break;
    case 6:
        if (TurnoutRec* t = objectAt<TurnoutRec>(gTurnouts, b); t && t->number == a) applyTurnout(t, code, c, r, length);
        break;
    case 7:
        if (SignalRec* sg = objectAt<SignalRec>(gSignals, b); sg && sg->number == a) {
            if (code == 37) sg->pulseTime = static_cast<uint8_t>(c);
            if (code == 44) {
                sg->aspect = static_cast<char>(c);
                drawSignal(*sg, 0, 2);
            }
        }
        break;
    case 8:
        if (OutputRec* o = objectAt<OutputRec>(gOutputs, b); o && o->key / 2 == a) {
            if (code == 37) o->pulseTime = static_cast<uint8_t>(c);
            if (code == 44) {
                o->state = static_cast<char>(c);
                drawOutput(*o, 0, 1);
            }
        }
        break;
    case 9:
        if (InputRec* in = objectAt<InputRec>(gInputs, b); in && in->number == a && code == 44) {
            in->state = static_cast<uint8_t>(c);
            drawInput(*in, 0, 1);
        }
        break;
    case 14:
        if (code == 0 || code == 42) {
            if (StepProgramRec* p = objectAt<StepProgramRec>(gStepPrograms, b); p && a == code)
                insertOrDeleteStep(p, c, code == 42);
        } else if (a == code || code == 2 || code == 20) {
            applyStepProgram(code, b, c);
        }
        break;
    case 18: {
        char text[32];
        std::snprintf(text, sizeof text, " CLIENT %d ", c);
        gNetOwnClientNumber = static_cast<uint8_t>(c);
        showNetLabel(text);
        break;
    }
    case 19:
        gTimeBase = static_cast<uint8_t>(a);
        gModelClock.hours = b;
        gModelClock.minutes = c & 0xFF;
        gModelClock.seconds = (c >> 8) & 0xFF;
        break;
    case 21: {
        vestrel::ByteReader in(r, static_cast<size_t>(length));
        gNetServerSpeedFactor = decodeSettingsRecord(in);
        break;
    }
    case 22: {
        vestrel::ByteReader in(r + 6, 8);
        const int32_t x = in.i32();
        netSetServerOffset(x, in.i32());
        break;
    }
    case 23: netSetServerOrientation(c); break;
    case 45:
        if (c != 0) emergencyStopAll(c);
        else if (frmBoodschap && frmBoodschap->isVisible()) frmBoodschap->close();
        break;
    case 54: {
        vestrel::ByteReader in(r + 6, 26);
        gLocoFileName = readFixedText(in, 26);
        updateTitleBar();
        gNetLinkState = 0;
        netCloseClient();
        setNetworkMode(40);
        return Applied::Stop;
    }
    default: break;
    }
    return Applied::Done;
}

// Walks the records of a synchronised (or copying) client's read. Returns 1, 255 or 0 as
// netClientReceive, with pos the start of the record where it stopped.
int walkRecords(int count, int& pos) {
    while (pos < count) {
        const int left = count - pos;
        const uint8_t* r = gNetInBuffer + pos;
        if (r[0] == 0) {
            const int used = netClientReadTable(pos, left);
            if (used < 0) return 255;
            if (used == 0) return 0;
            pos += used;
            continue;
        }
        if (left < kNetRecordSize) return 255;
        int length = netRecordLength(r[0], r[1], NetDirection::ToClient);
        if (length == kNetVariableLength) {
            length = applyTrainPositions(r, left);
            if (length < 0) return 255;
            if (length == 0) return 0;
            pos += length;
            continue;
        }
        if (length == 0) return 0;
        if (left < length) return 255;
        if (applyRecord(r, length) == Applied::Stop) {
            pos = count;
            return 1;
        }
        pos += length;
    }
    return 1;
}

}  // namespace

int netClientReceive(int count) {
    if (count <= 0) return 1;
    if (gNetLinkState <= 1) return receiveBanner(count);
    gClientWatchdog = 0;
    count = std::min(count, kNetBufferSize);
    int pos = 0;
    const int result = walkRecords(count, pos);
    if (result == 255) {
        // The unfinished record goes to the front; the next read appends behind it.
        const int rest = count - pos;
        std::memmove(gNetInBuffer, gNetInBuffer + pos, static_cast<size_t>(rest));
        gNetCarriedBytes = rest;
    } else {
        gNetCarriedBytes = 0;
    }
    return result;
}

void netClearClientModel() {
    // Taking the trains off erases them from the picture, which must first show the copy before.
    runScheduledFullRedraw();
    // From the last row up: taking off a train refills the rows below it, and below the last there are
    // none left to refill.
    while (gLocsOnTrack.count() > 0) {
        LocoRec* loco = gLocsOnTrack[gLocsOnTrack.count() - 1];
        loco->targetStep = 0;
        takeLocoOffTrack(loco);
        if (gLocsOnTrack.indexOf(loco) >= 0) gLocsOnTrack.removeAt(gLocsOnTrack.indexOf(loco));
    }
    forgetAllTrainRecords();
    clearTrainTables();
    clearLayout();
    clearRoutes();
    clearStepPrograms();
    clearFunctionDecoders();
}
