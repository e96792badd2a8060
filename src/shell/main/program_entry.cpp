#include "shell/main/program_entry.h"

#include "layout/frame/render.h"

#include <memory>

#include "layout/draw/diagram_area.h"
#include "layout/model/layout_model.h"
#include "layout/frame/render.h"
#include "layout/dialogs/untDraaischijf.h"
#include "layout/dialogs/untEerstePunt.h"
#include "layout/dialogs/untIngang.h"
#include "layout/dialogs/untSein.h"
#include "layout/dialogs/untSektie.h"
#include "layout/dialogs/untSpoor.h"
#include "layout/dialogs/untUitgang.h"
#include "layout/dialogs/untWissel.h"
#include "link/dialogs/untComVrij.h"
#include "link/dialogs/untProg.h"
#include "operation/dialogs/untCurve.h"
#include "operation/dialogs/untFunctieDec.h"
#include "operation/dialogs/untLok.h"
#include "operation/dialogs/untLoks.h"
#include "operation/dialogs/untTijd.h"
#include "operation/dialogs/untTraject.h"
#include "operation/dialogs/untTrein.h"
#include "operation/dialogs/untWagons.h"
#include "shell/main/application.h"
#include "shell/config/messages.h"
#include "shell/dialogs/untAfdrukken.h"
#include "shell/dialogs/untBestandNieuw.h"
#include "shell/dialogs/untBestandOpenen.h"
#include "shell/dialogs/untBestandOpslaan.h"
#include "shell/dialogs/untBevestig.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/dialogs/untDemo.h"
#include "shell/dialogs/untInfo.h"
#include "shell/dialogs/untInstellingen.h"
#include "shell/window/untSchema.h"
#include "steps/dialogs/untStappen.h"

namespace {

template <class T>
void createForm(T*& form) {
    form = new T();
}

template <class T>
void destroyForm(T*& form) {
    delete form;
    form = nullptr;
}

}  // namespace

void createForms() {
    // The main window sets frmSchema itself before it builds, as other units reach it then.
    try {
        new TfrmSchema();
    } catch (...) {
        frmSchema = nullptr;
        throw;
    }
    createForm(frmBestandOpenen);
    createForm(frmBestandOpslaan);
    createForm(frmBestandNieuw);
    createForm(frmBoodschap);
    createForm(frmBevestig);
    createForm(frmAfdrukken);
    createForm(frmSektie);
    createForm(frmWissel);
    createForm(frmSein);
    createForm(frmLok);
    createForm(frmTrein);
    createForm(frmTraject);
    createForm(frmEerstePunt);
    createForm(frmTijd);
    createForm(frmInstellingen);
    createForm(frmUitgang);
    createForm(frmProg);
    createForm(frmDemo);
    createForm(frmInfo);
    createForm(frmStappen);
    createForm(frmWagons);
    createForm(frmIngang);
    createForm(frmComVrij);
    createForm(frmCurve);
    createForm(frmLoks);
    createForm(frmFunctieDec);
    createForm(frmSpoor);
    createForm(frmDraaischijf);
    // The layout was loaded while the main window was built, before the settings dialog whose lists
    // name the scale and zoom existed: fill in those read-outs now.
    updateTitleBar();
}

void destroyForms() {
    destroyForm(frmDraaischijf);
    destroyForm(frmSpoor);
    destroyForm(frmFunctieDec);
    destroyForm(frmLoks);
    destroyForm(frmCurve);
    destroyForm(frmComVrij);
    destroyForm(frmIngang);
    destroyForm(frmWagons);
    destroyForm(frmStappen);
    destroyForm(frmInfo);
    destroyForm(frmDemo);
    destroyForm(frmProg);
    destroyForm(frmUitgang);
    destroyForm(frmInstellingen);
    destroyForm(frmTijd);
    destroyForm(frmEerstePunt);
    destroyForm(frmTraject);
    destroyForm(frmTrein);
    destroyForm(frmLok);
    destroyForm(frmSein);
    destroyForm(frmWissel);
    destroyForm(frmSektie);
    destroyForm(frmAfdrukken);
    destroyForm(frmBevestig);
    destroyForm(frmBoodschap);
    destroyForm(frmBestandNieuw);
    destroyForm(frmBestandOpslaan);
    destroyForm(frmBestandOpenen);
    destroyForm(frmSchema);
}

int WinMain(int argc, char** argv) {
    gCanvasSize = {640, 480};
    gCanvasCentre = {320, 240};
    std::unique_ptr<TApplication> app;
    if (!QApplication::instance()) app = std::make_unique<TApplication>(argc, argv);
    try {
        createForms();
        if (!programEndRequested()) {
            frmSchema->show();
            QApplication::exec();
        }
    } catch (const std::exception& e) {
        showException(e);
    } catch (...) {
        showUnknownException();
    }
    destroyForms();
    return 0;
}
