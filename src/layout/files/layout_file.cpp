#include "layout/files/layout_file.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>
#include <string>
#include <vector>
#include <unistd.h>

#include "layout/model/double_turnouts.h"
#include "layout/editor/edit_journal.h"
#include "layout/model/layout_file_format.h"
#include "layout/frame/render.h"
#include "layout/model/scale.h"
#include "operation/engine/route_aspects.h"
#include "operation/model/route_file.h"
#include "operation/model/train_model.h"
#include "platform/paths.h"
#include "shell/model/app_state.h"
#include "shell/config/config_file.h"
#include "shell/config/messages.h"
#include "steps/files/step_file.h"

void (*gOnLayoutLoaded)() = nullptr;

// Run-time state never survives a load; older versions did not yet have some of the fields.
void settleLoadedRecord(TrackRec& t, int version) {
    t.vehicleFlags = 0;
    if (version < 7) t.flags &= static_cast<uint8_t>(~0x01);  // reversing loop
    if (version < 9) {
        t.flags &= static_cast<uint8_t>(~0x1E);  // turntable bridge, layers
        t.locoOnIt = 0;
    }
}

void keepTurntableCentreInRange(TurntableRec& t) {
    constexpr float kLimit = 2147483520.0f;  // the largest float below 2^31
    const float reach = t.radius == t.radius ? std::min(std::abs(t.radius), kLimit) : 0.0f;
    for (float& c : t.centre) c = c == c ? std::clamp(c, reach - kLimit, kLimit - reach) : 0.0f;
}

void keepBlockSettingsInRange(BlockRec& b) {
    if (b.bendCorrection < 0 || b.bendCorrection > 4) b.bendCorrection = 0;
    if (b.outwardSlope < 0 || b.outwardSlope > 8) b.outwardSlope = 4;
    if (b.returnSlope < 0 || b.returnSlope > 8) b.returnSlope = 4;
}

void settleLoadedRecord(BlockRec& b, int version) {
    keepBlockSettingsInRange(b);
    b.state = 0;
    b.occupiedSections = 0;
    if (version < 9) b.flags &= static_cast<uint8_t>(~0x0E);  // layers
    updateBlockIncompleteFlag(&b);
}

void settleLoadedRecord(TurnoutRec& t, int version) {
    t.runState = 0;
    t.vehicleFlags = 0;
    if (version < 7) {
        t.partner = 0;
        t.options = 0;
    }
}

void settleLoadedRecord(SignalRec& s) { s.runState = 0; }
void settleLoadedRecord(OutputRec& o) { o.runFlags = 0; }
void settleLoadedRecord(InputRec& i) { i.runState = 0; }

// The canvas sizes the program can draw: the window's back buffers are made this size. A stored or
// received size outside them (32767 x 32767 would ask for gigabytes) gives the program's start size.
CanvasSize drawableCanvasSize(int width, int height) {
    constexpr int kMinCanvasSide = 100, kMaxCanvasSide = 7680;
    const auto fits = [](int side) { return side >= kMinCanvasSide && side <= kMaxCanvasSide; };
    return fits(width) && fits(height) ? CanvasSize{width, height} : CanvasSize{640, 480};
}

namespace {

constexpr uint8_t kBlockIncomplete = 0x40;

void clearRunTimeState(LayoutFileImage& im) {
    for (auto& t : im.tracks) settleLoadedRecord(*t, im.version);
    for (auto& b : im.blocks) settleLoadedRecord(*b, im.version);
    for (auto& t : im.turnouts) settleLoadedRecord(*t, im.version);
    for (auto& s : im.signals) settleLoadedRecord(*s);
    for (auto& o : im.outputs) settleLoadedRecord(*o);
    for (auto& i : im.inputs) settleLoadedRecord(*i);
    for (auto& t : im.turntables) {
        t->runState = 0;
        keepTurntableCentreInRange(*t);
    }
}

template <class Rec, int Capacity>
void appendAll(RecordTable<Rec, Capacity>& table, LayoutFileImage::Records<Rec>& recs) {
    for (auto& r : recs) table.append(std::move(r));
}

void insertRecords(LayoutFileImage& im) {
    appendAll(gTracks, im.tracks);
    appendAll(gBlocks, im.blocks);
    appendAll(gTurnouts, im.turnouts);
    appendAll(gSignals, im.signals);
    appendAll(gOutputs, im.outputs);
    appendAll(gInputs, im.inputs);
    appendAll(gTurntables, im.turntables);
    appendAll(gConnections, im.connections);
}

// Indexes from the file become pointers; any index outside its table makes the file unusable.
bool resolveLinks(const LayoutFileImage& im) {
    for (int i = 0; i < gSignalCount; ++i)
        if (!resolveSignalBlock(*gSignals[i], im.signalBlocks[static_cast<size_t>(i)])) return false;
    for (int i = 0; i < gTurntableCount; ++i)
        if (!resolveTurntableTrack(*gTurntables[i], im.turntableTracks[static_cast<size_t>(i)])) return false;
    for (int i = 0; i < gConnectionCount; ++i)
        if (!resolveConnectionLinks(*gConnections[i], im.connectionLinks[static_cast<size_t>(i)])) return false;
    return true;
}

void applyCanvasSize(const LayoutFileImage& im) {
    if (!im.hasCanvasSize) return;
    gCanvasSize = drawableCanvasSize(im.canvasWidth, im.canvasHeightLess23 + 23);
}

void applyHeaderSettings(const LayoutFileImage& im) {
    gTurnoutWidthIndex = im.turnoutWidthIndex;
    setScaleParameters(im.zoomDigit, im.scaleDigit, im.turnoutSizeMode);
    applyCanvasSize(im);
}

void applyTrailerSettings(const LayoutFileImage& im) {
    char zoom = im.zoomDigit;
    if (im.version < 4 && zoom != '2') zoom = '3';
    applyCanvasSize(im);
    setScaleParameters(zoom, '5', 0);
}

void applyProtocols(const std::vector<uint8_t>& protocols) {
    for (int e = 1; e <= kStoredProtocolEntries; ++e) {
        AccessoryDecoderRec& d = gAccessoryState[e];
        d.protocol = static_cast<size_t>(e) <= protocols.size() ? protocols[static_cast<size_t>(e - 1)] : 0;
        d.lastOutput = 0;
        d.switchOffTime = 0;
    }
}

int refuseLayoutFile(int version) {
    showDialogMessage("Spoorbaan '" + gLayoutFileName + "' (versie " + std::to_string(version) +
                          ") kan niet geopend worden.",
                      1);
    clearRoutes();  // they name connections of the layout that is gone
    return 0;
}

int startWithoutLayoutFile() {
    setScaleParameters('3', '5', 0);
    resetDrawingArea();
    drawBackground(0);
    clearRoutes();
    return 0;
}

// Everything is read and checked before the first global changes, so a refused file changes nothing.
int loadLayoutImage(const std::vector<uint8_t>& bytes) {
    LayoutFileImage im;
    if (!readLayoutImage(bytes, im)) return refuseLayoutFile(im.version);
    clearRunTimeState(im);
    insertRecords(im);
    if (!resolveLinks(im)) {
        clearElementTables();
        return refuseLayoutFile(im.version);
    }
    if (im.version >= 8) applyHeaderSettings(im);
    applyProtocols(im.protocols);
    relinkDoubleTurnouts();
    if (im.version < 8) applyTrailerSettings(im);
    return 1;
}

}  // namespace

int loadLayoutFile() {
    gVisibleLayers = 7;
    gHoverReset = 2;
    gDirtyFlags = 0;
    clearLayout();
    syncConfigFile();
    if (!vestrel::fileExists(gLayoutFileName)) return startWithoutLayoutFile();
    try {
        static std::vector<uint8_t> bytes;  // kept: its pages are not asked of the system at every load
        if (!vestrel::readWholeFile(vestrel::resolvePath(gLayoutFileName), bytes)) return refuseLayoutFile(-1);
        if (!loadLayoutImage(bytes)) return 0;
    } catch (const std::bad_alloc&) {
        clearElementTables();
        fatalOutOfMemory();
        return 0;
    }
    loadRouteFile();
    loadStepProgramFile(0);
    gLayoutOffset = {};
    if (gOnLayoutLoaded) gOnLayoutLoaded();
    return 1;
}

int saveLayoutFile() {
    if (gLayoutOffset.x != 0 || gLayoutOffset.y != 0) resetDrawingArea();
    rotateLayout(0, 2);
    if (!vestrel::writeFileAtomic(vestrel::resolvePath(gLayoutFileName), writeLayoutImage())) {
        showDialogMessage("Kan bestand '" + gLayoutFileName + "' niet openen !", 1);
        return 0;
    }
    gDirtyFlags = 0;
    emptyEditJournal();
    return 1;
}

void clearLayout() {
    // Trains stand on the layout's blocks, tracks and turnouts; they come back from the locomotive file
    // when a session starts.
    clearRunningFifo();
    clearTrainTables();
    clearElementTables();
    clearStepPrograms();
    emptyEditJournal();
}

BlockRec* updateBlockIncompleteFlag(BlockRec* block) {
    if (!block) return block;
    block->state &= static_cast<uint8_t>(~kBlockIncomplete);
    const int sections = std::min<int>(block->sections, kMaxSections);
    for (int s = 1; s <= sections; ++s) {
        if (block->sectionKinds[s - 1] != 0 && block->sectionInputs[s] == 0) {
            block->state |= kBlockIncomplete;
            break;
        }
    }
    return block;
}

void deleteLayoutFiles(const std::string& name) {
    if (name.empty()) return;
    if (::unlink(vestrel::resolvePath(name).c_str()) != 0) {
        showDialogMessage("Het bestand kon niet verwijderd worden !", 1);
        return;
    }
    std::string report = "Volgende bestanden werden verwijderd :\n- " + name;
    if (name.size() >= 3) {
        for (const char* ext : {"loc", "trj", "stp", "fdc"}) {
            const std::string companion = name.substr(0, name.size() - 3) + ext;
            if (::unlink(vestrel::resolvePath(companion).c_str()) == 0) report += "\n- " + companion;
        }
    }
    showDialogMessage(report, 1);
    if (name == gLayoutFileName) loadLayoutFile();
}
