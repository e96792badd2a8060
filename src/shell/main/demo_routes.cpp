// The steps of demos 2, 5 and 7: a route, seven locomotives with routes, step programs.
#include <QComboBox>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

#include "layout/dialogs/untSektie.h"
#include "layout/frame/render.h"
#include "layout/model/display_settings.h"
#include "layout/model/layout_model.h"
#include "link/buffers/feedback.h"
#include "operation/control/loco_operation.h"
#include "operation/dialogs/untTraject.h"
#include "operation/engine/wagon_coupling.h"
#include "operation/model/route_file.h"
#include "operation/model/train_model.h"
#include "shell/config/settings_pages.h"
#include "shell/dialogs/untDemo.h"
#include "shell/dialogs/untInstellingen.h"
#include "shell/main/demo.h"
#include "shell/main/demo_steps.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"
#include "shell/window/input_routing.h"
#include "shell/window/untSchema.h"
#include "steps/dialogs/untStappen.h"
#include "steps/model/step_program.h"

namespace {

// Demo 2 builds its route "LadenLossen" by clicking, in turn, the blocks of the demo layout's first
// route (at most 15 of them) and then the loading track, block 21, where the trip began.
constexpr int kMostRouteClicks = 15;
constexpr int kLoadingTrack = 21;
int gRouteDemoClick = 0;  // the next line of the model route to click

// A left click on the diagram as the user makes it in the editor: the editor finds the element there.
void clickInEditor(DiagramPoint at) {
    gMousePoint = at;
    gMouseButton = 1;
    routeEditorCommand(0);
    gMouseButton = -1;
}

// A point on the block's middle section, away from its ends (where a neighbour's end may lie).
DiagramPoint blockMiddle(const BlockRec* b) {
    const int s = b->sections / 2;
    return {(b->points[s].x + b->points[s + 1].x) / 2, (b->points[s].y + b->points[s + 1].y) / 2};
}

const BlockRec* modelRouteBlock(int k) {
    if (gRouteCount < 1) return nullptr;
    const RouteRec* model = gRoutes[0];
    if (k >= model->endLine - model->firstLine) return nullptr;
    const ConnectionRec* c = routeLineConnection(gRouteLines[model->firstLine + k]);
    return c ? c->from : nullptr;
}

int modelRouteClicks() {
    int n = 0;
    while (n < kMostRouteClicks && modelRouteBlock(n)) ++n;
    return n;
}

bool demo2Step(int step) {
    switch (step) {
    case 51:
    case 52: break;
    case 53:
        routeEditorCommand(1021);  // "Traject" > "Nieuw"
        gRouteDemoClick = 0;
        break;
    case 54:
        if (frmTraject) frmTraject->cboTrajectNaam->setEditText("LadenLossen");
        break;
    case 55: {
        if (const BlockRec* b = modelRouteBlock(gRouteDemoClick)) clickInEditor(blockMiddle(b));
        ++gRouteDemoClick;
        // Each block has its own line; the step stays until the last block of the model route.
        showNextDemoLine(gRouteDemoClick < modelRouteClicks() ? 0 : 1);
        return true;
    }
    case 56:
        for (const BlockRec* b : gBlocks)
            if (b->number == kLoadingTrack) clickInEditor(blockMiddle(b));
        break;
    case 57:
        // The route was only shown: closing the editor without saving leaves the route file as it was.
        if (frmTraject) frmTraject->close();
        gDemoStep = -1;
        return true;
    default: return false;
    }
    showNextDemoLine(1);
    return true;
}

// The post whose train demo 5 sends along the route, and the posts that run in automatic mode.
constexpr int kRoutePost = 6;
constexpr int kAutoPosts = 6;

bool demo5Step(int step) {
    switch (step) {
    case 201: break;
    case 202:
        for (int post = 0; post < kAutoPosts && post < gLocsOnTrackCount; ++post) {
            routeControlPostCommand(302, post);  // "Rangeer" > "Manueel"
            routeControlPostCommand(302, post);  // > "Auto"
        }
        break;
    case 203:
        for (int post = 0; post < kAutoPosts && post < gLocsOnTrackCount; ++post) routeControlPostCommand(301, post);
        break;
    case 204: routeControlPostCommand(1061, 0); break;  // the first block's dialog
    case 205: showSettingsPage(0); break;                // the short-train length on the first page
    case 206:
        if (frmSektie) frmSektie->close();
        if (frmInstellingen) frmInstellingen->close();
        break;
    case 207: routeControlPostCommand(1046, kRoutePost); break;
    case 208:
        if (frmTraject && frmTraject->isVisible()) {
            frmTraject->cboLocNummer->setCurrentIndex(kRoutePost);
            frmTraject->cboLocNummerClick();
            frmTraject->cboTrajectNaam->setCurrentIndex(1);  // the first route
            frmTraject->cboTrajectNaamClick();
        }
        break;
    case 209:
        if (frmTraject) frmTraject->close();
        break;
    case 210:
        // Manual, automatic, then the route mode that a train with a route reaches next.
        for (int i = 0; i < 4 && kRoutePost < gLocsOnTrackCount && gLocsOnTrack[kRoutePost]->mode != kModeRoute; ++i)
            routeControlPostCommand(302, kRoutePost);
        break;
    case 211: routeControlPostCommand(301, kRoutePost); break;
    case 212: routeControlPostCommand(32, kRoutePost); break;  // the emergency stop
    case 213:
        gDemoStep = -1;
        return true;
    default: return false;
    }
    showNextDemoLine(1);
    return true;
}

// Demo 7: the train of post 6 runs route 2 past the inputs 1..3 on which the step programs 1..3 wait;
// the editor shows program 1 as the train reaches block 19 and program 2 as it reaches block 27.
constexpr int kStepsPost = 6;
constexpr int kStepsRoute = 2;
constexpr int kStepsPrograms = 3;
constexpr int kProgram1Block = 19;
constexpr int kProgram2Block = 27;

// A left click of the user at a point of the diagram during the session.
void clickDemoPoint(DiagramPoint point) {
    const DiagramPoint savedPoint = gMousePoint;
    const int savedButton = gMouseButton;
    gMousePoint = point;
    gMouseButton = 1;
    routeControlPostCommand(0, gActiveRow);
    gMousePoint = savedPoint;
    gMouseButton = savedButton;
}

void simulateDemoInputs() {
    for (int n = 1; n <= kStepsPrograms; ++n)
        for (InputRec* in : gInputs)
            if (in->number == n) simulateDemoContact(in);
}

int demoTrainBlock() {
    const LocoRec* loco = gLocsOnTrack[kStepsPost];
    return loco && loco->run.head.block ? loco->run.head.block->number : 0;
}

// The editor switches to program `index` (0-based) as the user would choose its name.
void showDemoProgram(int index) {
    if (!frmStappen || !frmStappen->isVisible() || index >= frmStappen->cboStappenNaam->count()) return;
    if (frmStappen->cboStappenNaam->currentIndex() == index) return;
    frmStappen->cboStappenNaam->setCurrentIndex(index);
    frmStappen->cboStappenNaamClick();
}

// The editor to the right of the main window, or at the screen's right edge when there is no room.
void placeBesideMainWindow(QWidget* form) {
    const QRect main = frmSchema->frameGeometry();
    int x = main.right() + 1;
    if (const QScreen* screen = frmSchema->screen()) {
        const QRect area = screen->availableGeometry();
        x = std::max(area.left(), std::min(x, area.right() + 1 - form->frameGeometry().width()));
    }
    form->move(x, main.top());
}

// Waits for the train to reach `block`; the inputs follow the vehicles meanwhile.
bool demoTrainReached(int block) {
    simulateDemoInputs();
    return demoTrainBlock() == block;
}

bool demo7Step(int step) {
    switch (step) {
    case 301:
        // The route dialog of post 6: the locomotive, then route 2.
        routeControlPostCommand(1046, kStepsPost);
        if (frmTraject) {
            frmTraject->cboLocNummer->setCurrentIndex(kStepsPost);
            frmTraject->cboLocNummerClick();
            frmTraject->cboTrajectNaam->setCurrentIndex(kStepsRoute);
            frmTraject->cboTrajectNaamClick();
        }
        showNextDemoLine(1);
        return true;
    case 302:
        // Posts 0..5 to "Auto", post 6 one step further to "Traject".
        // The route dialog's buttons are locked during the demo: its window is closed as a whole.
        if (frmTraject && frmTraject->isVisible()) frmTraject->close();
        for (int row = 0; row <= kStepsPost; ++row) {
            const uint8_t mode = row == kStepsPost ? kModeRoute : kModeAuto;
            // The mode button steps through the four modes: four presses reach any of them.
            for (int k = 0; k < 4 && gLocsOnTrack[row] && gLocsOnTrack[row]->mode != mode; ++k)
                routeControlPostCommand(302, row);
        }
        showNextDemoLine(1);
        return true;
    case 303:
        // Without numbers the programs' boxes read better; the editor shows program 1, and a click on each
        // box starts its program.
        gShowNumbers = 0;
        redrawSchema(1);
        routeControlPostCommand(1111, kStepsPost);
        if (frmStappen) placeBesideMainWindow(frmStappen);
        for (int i = 0; i < kStepsPrograms && i < gStepProgramCount; ++i) {
            const StepBoxRect& box = gStepPrograms[i]->box;
            if (gStepPrograms[i]->state == 0) clickDemoPoint({(box.left + box.right) / 2, (box.top + box.bottom) / 2});
        }
        showNextDemoLine(1);
        return true;
    case 304:
        // Post 6 starts only now that the inputs follow the vehicles: while the user reads the steps before,
        // the train would pass inputs that nothing sets.
        routeControlPostCommand(301, kStepsPost);
        frmDemo->btnVerder->hide();
        showNextDemoLine(1);
        gDemoStep = static_cast<int16_t>(-gDemoStep);
        return true;
    // The first round explains what happens at blocks 19 and 27; later rounds only show the programs.
    case 305:
    case 307:
        if (demoTrainReached(kProgram1Block)) {
            showDemoProgram(0);
            if (step == 305)
                showNextDemoLine(255);
            else
                gDemoStep = -308;
        }
        return true;
    case 306:
    case 308:
        if (demoTrainReached(kProgram2Block)) {
            showDemoProgram(1);
            if (step == 306)
                showNextDemoLine(255);
            else
                gDemoStep = -307;
        }
        return true;
    default: return false;
    }
}

}  // namespace

bool performRouteDemoStep(int step) {
    if (step > 50 && step <= 100) return demo2Step(step);
    if (step > 200 && step <= 250) return demo5Step(step);
    if (step > 300 && step <= 350) return demo7Step(step);
    return false;
}
