#include "network/sync/client_updates.h"

#include <QComboBox>
#include <algorithm>
#include <cstring>
#include <vector>

#include "layout/dialogs/untDraaischijf.h"
#include "layout/dialogs/untSektie.h"
#include "layout/editor/editor_state.h"
#include "layout/files/layout_file.h"
#include "layout/model/layout_model.h"
#include "network/sync/record_fields.h"
#include "operation/control/dialog_refresh.h"
#include "operation/model/loco_file_format.h"
#include "operation/model/route_codec.h"
#include "operation/model/route_file.h"
#include "operation/model/speed_curve.h"
#include "operation/model/train_codec.h"
#include "operation/model/train_model.h"
#include "operation/dialogs/untCurve.h"
#include "operation/dialogs/untTraject.h"
#include "operation/model/route_editor_state.h"
#include "platform/byte_io.h"
#include "steps/dialogs/step_editor_link.h"
#include "steps/dialogs/untStappen.h"
#include "steps/model/step_codec.h"
#include "steps/model/step_program.h"

namespace {

constexpr int kHeader = 6;
constexpr int kFormulaDataOffset = 2;  // the formula image from operand type A on
constexpr int kFormulaDataSize = 22;

int32_t at32(const uint8_t* r, int k) {
    return static_cast<int32_t>(static_cast<uint32_t>(r[k]) | (r[k + 1] << 8) | (r[k + 2] << 16) |
                                (static_cast<uint32_t>(r[k + 3]) << 24));
}

template <class Rec, class Table>
Rec* objectAt(Table& table, int index) {
    return (index >= 0 && index < table.count()) ? table[index] : nullptr;
}

void locoData(LocoRec* loco, const uint8_t* r) {
    vestrel::ByteWriter w;
    encodeLoco(w, *loco, locoLinksOf(*loco));
    std::vector<uint8_t> image = w.data();
    std::memcpy(image.data() + kLocoDataOffset, r + kHeader, kLocoDataSize);
    vestrel::ByteReader in(image.data(), image.size());
    LocoRec got;
    LocoLinks links;
    if (!decodeLoco(in, got, links) || !validLocoSpeedSteps(got.run.speedSteps) || got.decoderType > 5) return;
    loco->run.maxSpeed = got.run.maxSpeed;
    std::memcpy(loco->run.spare, got.run.spare, sizeof loco->run.spare);  // with it whether "Max" was typed
    if (got.run.speedSteps != loco->run.speedSteps) {
        loco->run.speedSteps = got.run.speedSteps;
        loco->maxStep = got.run.speedSteps;
        loco->targetStep = std::min(loco->targetStep, got.run.speedSteps);
        loco->currentStep = std::min(loco->currentStep, got.run.speedSteps);
    }
    loco->run.kmHeadingH = got.run.kmHeadingH;
    loco->run.kmTotal = got.run.kmTotal;
    loco->run.kmDay = got.run.kmDay;
    loco->run.photo = got.run.photo;
    loco->name = got.name;
    loco->motor = got.motor;
    loco->kind = got.kind;
    loco->decoderType = got.decoderType;
    loco->stepDelay = static_cast<int16_t>(calcStepDelay(loco, loco->acceleration));
}

void wagonData(WagonRec* wagon, const uint8_t* r) {
    vestrel::ByteWriter w;
    encodeWagon(w, *wagon, wagonLinksOf(*wagon, true));
    std::vector<uint8_t> image = w.data();
    std::memcpy(image.data() + kWagonDataOffset, r + kHeader, kWagonDataSize);
    vestrel::ByteReader in(image.data(), image.size());
    WagonRec got;
    WagonLinks links;
    if (!decodeWagon(in, got, links)) return;
    wagon->lengthUnits = got.lengthUnits;
    wagon->kind = got.kind;
    wagon->number = got.number;
    wagon->weight = got.weight;
    wagon->photo = got.photo;
    wagon->description = got.description;
    wagon->lengthCm = got.lengthCm;
    wagon->percent = got.percent;
}

void blockData(BlockRec* b, const uint8_t* r) {
    const int32_t speed = at32(r, 14), wait = at32(r, 18);
    if (speed < 0 || speed > 999 || wait < 0 || wait > 3600) return;
    constexpr uint8_t kPassengerWait = 16;
    b->allowedTrains = r[6];
    b->flags = static_cast<uint8_t>((b->flags & ~kPassengerWait) | (r[10] & kPassengerWait));
    b->bendCorrection = static_cast<int8_t>(r[11]);
    b->outwardSlope = static_cast<int8_t>(r[12]);
    b->returnSlope = static_cast<int8_t>(r[13]);
    b->speed = speed;
    b->waitTime = wait;
    keepBlockSettingsInRange(*b);
}

void turntableData(TurntableRec* t, const uint8_t* r) {
    const int start = netAt16(r, 26), inPosition = netAt16(r, 28), occupancy = netAt16(r, 30);
    if (start < 0 || inPosition < 0 || occupancy < 0) return;
    t->decoderSystem = r[6];
    t->bridgeSpeed = r[11];
    t->pulseTime = r[12];
    t->timeout = r[13];
    t->runOn = r[15];
    t->startAddress = static_cast<int16_t>(start);
    t->inPositionInput = static_cast<int16_t>(inPosition);
    t->occupancyInput = static_cast<int16_t>(occupancy);
}

void functionDecoderRecord(FunctionDecoderRec* d, int code, int c, const uint8_t* r, int length) {
    switch (code) {
    case 2: d->loco = objectAt<LocoRec>(gLocs, c - 1); break;  // the locomotive's slot + 1, 0 none
    case 35: {
        const int function = c & 0xFF;
        if (function < 1 || function > kMaxDecoderFunctions) break;
        // F1..F4 in bits 0..3, F5..F28 in bits 8..31.
        const uint32_t bit = 1u << (function <= 4 ? function - 1 : function + 3);
        if (c >> 8) d->functionState |= bit;
        else d->functionState &= ~bit;
        break;
    }
    case 37: {
        if (length < 18) break;
        const int function = r[6];
        if (function < 0 || function >= kMaxDecoderFunctions) break;
        vestrel::ByteReader in(r + 7, 11);
        d->functionNames[function] = readFixedText(in, 11);
        break;
    }
    case 49: {
        if (length < 28) break;
        vestrel::ByteReader in(r + 6, 21);
        d->name = readFixedText(in, 21);
        break;
    }
    case 50:
        if (c >= 1 && c <= kMaxDecoderFunctions) d->functionCount = static_cast<uint8_t>(c);
        break;
    case 51:
        if (c == 0 || c == 1) d->protocol = static_cast<uint8_t>(c);
        break;
    default: break;
    }
}

}  // namespace

void netApplyDataRecord(const uint8_t* r, int length) {
    const int kind = r[0], code = r[1];
    const int a = netAt16(r, 2), b = netAt16(r, 4), c = netAt16(r, 6);
    switch (kind) {
    case 2: {
        LocoRec* loco = objectAt<LocoRec>(gLocs, b);
        if (!loco || loco->number != a) return;
        if (code == 37 && length >= kHeader + kLocoDataSize) locoData(loco, r);
        if (code == 38 && length >= 136) {
            closeSpeedCurveOf(loco);  // the dialog's table is replaced under it
            std::memcpy(loco->speedTable.data(), r + kHeader, kSpeedTableSize);
            const int maxSpeed = netAt16(r, 134);
            if (maxSpeed >= 0 && maxSpeed != loco->run.maxSpeed) {
                loco->run.maxSpeed = static_cast<int16_t>(maxSpeed);
                loco->stepDelay = static_cast<int16_t>(calcStepDelay(loco, loco->acceleration));
                refreshTrainMaxSpeed(loco);
            }
        }
        return;
    }
    case 3: {
        WagonRec* wagon = objectAt<WagonRec>(gWagons, b);
        if (!wagon) return;
        if (code == 37 && length >= kHeader + kWagonDataSize) wagonData(wagon, r);
        return;
    }
    case 5: {
        BlockRec* block = objectAt<BlockRec>(gBlocks, b);
        if (block && block->number == a && code == 37 && length >= 22) {
            blockData(block, r);
            if (frmSektie && frmSektie->isVisible() && gSelectedBlock == block) {
                frmSektie->cboRichting->setCurrentIndex(-1);  // makes the activation fill every field
                frmSektie->FormActivate();
            }
        }
        return;
    }
    case 10: {
        TurntableRec* t = objectAt<TurntableRec>(gTurntables, b);
        if (t && t->number == a && code == 37 && length >= 32) {
            turntableData(t, r);
            if (frmDraaischijf && frmDraaischijf->isVisible() && gSelectedTurntable == t) {
                frmDraaischijf->filled = 0;  // the fields show the record anew
                frmDraaischijf->FormActivate();
            }
        }
        return;
    }
    case 13: {
        RouteLineRec* line = objectAt<RouteLineRec>(gRouteLines, b);
        if (!line || a != 20 || code != 37 || length < 26) return;
        vestrel::ByteReader in(r + kHeader, 20);
        const RouteLineRec got = readRouteLineRec(in);
        if (in.ok() && got.connection >= -1 && got.connection < gConnectionCount) {
            *line = got;
            const RouteRec* shown = gCurRoute;
            if (frmTraject && frmTraject->isVisible() && shown && b >= shown->firstLine && b < shown->endLine)
                frmTraject->fillRouteGridRow(b, b - shown->firstLine + 1);
        }
        return;
    }
    case 15: {
        StepRec* step = objectAt<StepRec>(gSteps, b);
        if (!step || a != 10 || code != 37 || length < 16) return;
        vestrel::ByteReader in(r + kHeader, 10);
        StepRec got;
        if (decodeStep(in, got)) {
            *step = got;
            redrawStepRowOf(b);
        }
        return;
    }
    case 16: {
        FormulaRec* f = objectAt<FormulaRec>(gFormulas, b);
        if (!f || a != 22 || code != 37 || length < kHeader + kFormulaDataSize) return;
        vestrel::ByteWriter w;
        encodeFormula(w, *f);
        std::vector<uint8_t> image = w.data();
        std::memcpy(image.data() + kFormulaDataOffset, r + kHeader, kFormulaDataSize);
        vestrel::ByteReader in(image.data(), image.size());
        FormulaRec got;
        if (decodeFormula(in, got) && got.types[0] <= 7 && got.types[1] <= 7 && got.types[2] <= 7 &&
            got.comparison <= 5 && got.operation <= 9) {
            *f = got;
            if (frmStappen && frmStappen->isVisible() && gCurFormula == f) {
                gCurFormula = nullptr;  // the panel takes the formula up again
                frmStappen->Timer1Timer();
            }
        }
        return;
    }
    case 35: {
        FunctionDecoderRec* d = objectAt<FunctionDecoderRec>(gFunctionDecoders, b);
        if (d && d->address == a) {
            functionDecoderRecord(d, code, c, r, length);
            refreshFunctionDecoderDialog(d);
        }
        return;
    }
    default: return;
    }
}
