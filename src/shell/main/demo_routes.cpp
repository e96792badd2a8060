// The steps of demos 2, 5 and 7: a route, seven locomotives with routes, step programs.
#include <QComboBox>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

#include "layout/frame/render.h"
#include "layout/model/display_settings.h"
#include "layout/model/layout_model.h"
#include "link/buffers/feedback.h"
#include "operation/control/loco_operation.h"
#include "operation/dialogs/untTraject.h"
#include "operation/engine/wagon_coupling.h"
#include "operation/model/train_model.h"
#include "shell/dialogs/untDemo.h"
#include "shell/main/demo.h"
#include "shell/main/demo_steps.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"
#include "shell/window/input_routing.h"
#include "shell/window/untSchema.h"
#include "steps/dialogs/untStappen.h"
#include "steps/model/step_program.h"

namespace {

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

// The input's contact follows what stands on it: on under a locomotive or a wagon, off when they have
// gone. The contact's new state reaches the input on the next cycle.
void simulateDemoContact(InputRec* input) {
    const DiagramPoint savedPoint = gMousePoint;
    gMousePoint = input->anchor;
    WagonHit wagon;
    LocoRec* loco = nullptr;
    int row = 0;
    const bool occupied = pickWagonAt(wagon, 1) != 0 || pickLocoAt(2 * gSnapTolerance, loco, row) != 0;
    gMousePoint = savedPoint;
    if (occupied == (input->state != 0)) return;
    toggleFeedbackContact(nullptr, 0, input);
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
    if (step > 300 && step <= 350) return demo7Step(step);
    return false;
}
