// The steps of demos 2, 5 and 7: a route, seven locomotives with routes, step programs.
#include <QComboBox>

#include "layout/model/layout_model.h"
#include "layout/dialogs/untSektie.h"
#include "operation/dialogs/untTraject.h"
#include "operation/model/route_file.h"
#include "operation/model/train_model.h"
#include "shell/config/settings_pages.h"
#include "shell/dialogs/untInstellingen.h"
#include "shell/main/demo.h"
#include "shell/main/demo_steps.h"
#include "shell/model/app_state.h"
#include "shell/model/input_state.h"
#include "shell/window/input_routing.h"

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

}  // namespace

bool performRouteDemoStep(int step) {
    if (step > 50 && step <= 100) return demo2Step(step);
    if (step > 200 && step <= 250) return demo5Step(step);
    return false;
}
