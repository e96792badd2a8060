#include "shell/program_entry.h"

#include "layout/render.h"

#include <memory>

#include "layout/diagram_area.h"
#include "layout/layout_model.h"
#include "layout/render.h"
#include "layout/untDraaischijf.h"
#include "layout/untEerstePunt.h"
#include "layout/untIngang.h"
#include "layout/untSein.h"
#include "layout/untSektie.h"
#include "layout/untSpoor.h"
#include "layout/untUitgang.h"
#include "layout/untWissel.h"
#include "link/untComVrij.h"
#include "link/untProg.h"
#include "operation/untCurve.h"
#include "operation/untFunctieDec.h"
#include "operation/untLok.h"
#include "operation/untLoks.h"
#include "operation/untTijd.h"
#include "operation/untTraject.h"
#include "operation/untTrein.h"
#include "operation/untWagons.h"
#include "shell/application.h"
#include "shell/messages.h"
#include "shell/untAfdrukken.h"
#include "shell/untBestandNieuw.h"
#include "shell/untBestandOpenen.h"
#include "shell/untBestandOpslaan.h"
#include "shell/untBevestig.h"
#include "shell/untBoodschap.h"
#include "shell/untDemo.h"
#include "shell/untInfo.h"
#include "shell/untInstellingen.h"
#include "shell/untSchema.h"
#include "steps/untStappen.h"

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
