// The steps of demos 3, 4 and 6: one and three locomotives without, and one with track control.
#include "shell/main/demo_steps.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <cstdint>

#include "layout/model/layout_model.h"
#include "link/buffers/feedback.h"
#include "link/port/link_port.h"
#include "operation/control/control_post.h"
#include "operation/control/loco_operation.h"
#include "operation/engine/wagon_coupling.h"
#include "operation/model/train_model.h"
#include "shell/config/settings_pages.h"
#include "shell/dialogs/untDemo.h"
#include "shell/dialogs/untInstellingen.h"
#include "shell/main/demo.h"
#include "shell/main/session.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"
#include "shell/window/mouse_pointer.h"

namespace {

bool vehicleAtMousePoint() {
    WagonHit wagon;
    if (pickWagonAt(wagon, 1) != 0) return true;
    LocoRec* loco = nullptr;
    int row = -1;
    return pickLocoAt(2 * gSnapTolerance, loco, row) != 0;
}

}  // namespace

void simulateDemoContact(const InputRec* input) {
    if (!input) return;
    moveMouseToPoint(input->anchor.x, input->anchor.y);
    if (vehicleAtMousePoint() != (input->state != 0)) toggleFeedbackContact(nullptr, 0, input);
}

namespace {

// Demo 6: one train runs with track control while the demo plays the occupancy detectors: for every
// block the train enters it reports the begin section, the station of a short train and the stop
// section occupied, in the order the train reaches them, and the block left behind free again.
namespace trackDemo {

enum Contact { kBegin, kShortStation, kStop };

const char* const kBeginText = "Bezetmelding activeren van de sectie 'beginsectie richting heen' van blok %d.";
const char* const kShortStationText =
    "Bezetmelding activeren van de sectie 'station/vrijgave korte trein' van blok %d.";
const char* const kStopText = "Bezetmelding activeren van de sectie 'eindsectie richting heen' van blok %d.";
const char* const kPauseText = "Wachten tot pauzetijd afgelopen is.";
// The train's pause before it departs; the cycle meanwhile evaluates the last report.
constexpr int32_t kPauseMs = 500;
constexpr int32_t kLongestWaitMs = 10000;

BlockRec* gEnteredBlock = nullptr;  // the block whose sections the demo reports next
uint32_t gPauseStart = 0;
bool gPauseStarted = false;

LocoRec* demoTrain() { return gLocsOnTrackCount > 0 ? gLocsOnTrack[0] : nullptr; }

// Kinds 1, 4 and 6 serve a train heading for the block's 'H' end; one heading for 'T' meets their
// mirror kinds 6, 3 and 1.
int sectionKind(Contact c, char heading) {
    static const int kHeadingH[] = {1, 4, 6};
    return heading == 'T' ? 7 - kHeadingH[c] : kHeadingH[c];
}

// The first section of that kind the train meets in the block (1-based), 0 when the block has none.
int sectionOfKind(const BlockRec& b, int kind, char heading) {
    const int n = std::min<int>(b.sections, kMaxSections);
    for (int i = 0; i < n; ++i) {
        const int s = heading == 'T' ? n - i : i + 1;
        if (b.sectionKinds[s - 1] == kind) return s;
    }
    return 0;
}

// Points at the middle of section s and sets or clears its contact, as a click on the section does
// while the inputs are simulated.
void setSectionContact(BlockRec* b, int s, bool on) {
    if (!b || s < 1 || s > std::min<int>(b->sections, kMaxSections)) return;
    if ((getContactBit(b->sectionInputs[s]) != 0) == on) return;
    const DiagramPoint p = b->points[s - 1], q = b->points[s];
    moveMouseToPoint((p.x + q.x) / 2, (p.y + q.y) / 2);
    toggleFeedbackContact(b, s, nullptr);
}

void reportContact(Contact c) {
    if (const LocoRec* t = demoTrain(); t && gEnteredBlock)
        setSectionContact(gEnteredBlock, sectionOfKind(*gEnteredBlock, sectionKind(c, t->heading), t->heading), true);
}

void releaseBlock(BlockRec* b) {
    if (!b || b == gEnteredBlock) return;
    for (int s = 1; s <= std::min<int>(b->sections, kMaxSections); ++s) setSectionContact(b, s, false);
}

void showText(const char* format, const BlockRec* b) {
    frmDemo->lblTekst->setText(QString::asprintf(format, b ? static_cast<int>(b->number) : 0));
}

// The link to the command station, a session with track control on it, and only the train of post 0
// on the track, whose detectors the demo plays from now on. False, with the link's message shown, when
// the command station cannot be reached.
bool startWithTrackControl() {
    if (!gLinkOpen) openCommandStationLink();
    if (!gLinkOpen) return false;
    if (toggleControlPostSession(12) != 1 || !gRunWithTrack) {
        abandonSessionStart();
        closeCommandStationLink();
        return false;
    }
    for (int n = 0; n < 2 && gLocsOnTrackCount > 1; ++n) {
        const int row = gLocsOnTrackCount - 1;
        controlPostCommand(1043, row);  // "take off the track", then Enter for the row's locomotive
        controlPostCommand(13, row);
    }
    gNoFeedbackPoll = 1;
    gSettings.chboVisuTerugmeld = 1;
    gSettings.chboPositiecontrole = 0;
    gSettings.chboVerkeerdeWeg = 0;
    applyFeedbackVisualisation(1);
    decodeFeedbackImage();
    // The train stands on the section of its last contact, which therefore reports occupied; so do
    // inputs with a vehicle over them.
    if (LocoRec* t = demoTrain(); t && t->run.head.block)
        setSectionContact(t->run.head.block, sectionOfKind(*t->run.head.block, t->contactRole, t->heading), true);
    for (InputRec* in : gInputs) simulateDemoContact(in);
    return true;
}

BlockRec* nextBlock() {
    const LocoRec* t = demoTrain();
    BlockRec* next = t && t->running && t->connection ? t->connection->to : nullptr;
    return next == gEnteredBlock ? nullptr : next;
}

// The train departs after its pause; the reports go on once the cycle has found it a way into the
// next block. One that has none after a while stays where it is.
void waitForPause() {
    frmDemo->btnVerder->hide();
    frmDemo->lblTekst->setText(kPauseText);
    gPauseStarted = false;
    gDemoStep = -263;
}

// The pause is timed by the cycle that polls it: "VERDER" comes between two ticks.
bool pauseOver() {
    if (!gPauseStarted) {
        gPauseStarted = true;
        gPauseStart = gMsTick;
        return false;
    }
    const int32_t waited = msBetween(gMsTick, gPauseStart);
    if (waited < kPauseMs) return false;
    const LocoRec* t = demoTrain();
    return nextBlock() || !t || !t->running || waited >= kLongestWaitMs;
}

// The block the train now travels to gets the next reports; a train that stopped ends the demo.
void announceNextBlock() {
    BlockRec* next = nextBlock();
    if (!next) {
        showNextDemoLine(0);
        gDemoStep = 264;
        return;
    }
    gEnteredBlock = next;
    showText(kBeginText, next);
    gDemoStep = 260;
}

bool step(int n) {
    switch (n) {
    case 251:
        gEnteredBlock = nullptr;
        showSettingsPage(1);
        break;
    case 252: frmInstellingen->chboVisuTerugmeld->setChecked(false); break;
    case 253: frmInstellingen->chboVisuTerugmeld->setChecked(true); break;
    case 254: frmInstellingen->close(); break;
    case 255: break;
    case 256:
        if (!startWithTrackControl()) {
            gDemoStep = -1;
            return true;
        }
        break;
    case 257: controlPostCommand(302, 0); break;
    case 258:
        // A train that was not in "Rangeer" reaches "Auto" a little later, as the user would see.
        for (int press = 0; press < 4; ++press) {
            controlPostCommand(302, 0);
            if (const LocoRec* t = demoTrain(); !t || t->mode == kModeAuto) break;
        }
        break;
    case 259:
        controlPostCommand(301, 0);
        waitForPause();
        return true;
    case 260:
        reportContact(kBegin);
        if (const LocoRec* t = demoTrain(); t && t->connection) releaseBlock(t->connection->from);
        showText(kShortStationText, gEnteredBlock);
        gDemoStep = 261;
        return true;
    case 261:
        reportContact(kShortStation);
        showText(kStopText, gEnteredBlock);
        gDemoStep = 262;
        return true;
    case 262:
        reportContact(kStop);
        waitForPause();
        return true;
    case 263:
        if (!pauseOver()) return true;
        frmDemo->btnVerder->show();
        frmDemo->btnVerder->setFocus();
        announceNextBlock();
        return true;
    case 264: gDemoStep = -1; return true;
    default: return false;
    }
    showNextDemoLine(1);
    return true;
}

}  // namespace trackDemo

bool demo6Step(int step) { return trackDemo::step(step); }

}  // namespace

bool performTrainDemoStep(int step) {
    if (step > 250 && step <= 300) return demo6Step(step);
    return false;
}
