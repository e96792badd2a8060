#include "shell/window/untSchema.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QScreen>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

#include "layout/draw/diagram_area.h"
#include "layout/draw/diagram_canvas.h"
#include "layout/editor/edit_journal.h"
#include "layout/editor/editor_dispatch.h"
#include "layout/files/layout_file.h"
#include "layout/model/layout_model.h"
#include "layout/frame/render.h"
#include "layout/model/scale.h"
#include "link/port/link_port.h"
#include "network/socket/net_mode.h"
#include "network/socket/net_sockets.h"
#include "network/model/net_state.h"
#include "operation/control/control_post.h"
#include "platform/clock.h"
#include "platform/keyboard.h"
#include "shell/model/app_state.h"
#include "shell/main/demo.h"
#include "shell/window/schema_canvas.h"
#include "shell/window/schema_controls.h"
#include "shell/window/image_view.h"
#include "shell/model/input_state.h"
#include "shell/main/main_cycle.h"
#include "shell/window/main_window.h"
#include "shell/config/messages.h"
#include "shell/model/schema_state.h"
#include "shell/model/settings.h"
#include "shell/dialogs/untInfo.h"
#include "shell/window/widget_colours.h"

TfrmSchema* frmSchema = nullptr;
QWidget* gCmdpostControls[5 * kControlPosts] = {};

namespace {
constexpr int kDesignClientWidth = kMainWindowMinWidth;
constexpr int kDesignClientHeight = 480;
constexpr int kDiagramMargin = 88;  // canvas height less the drawing area
}  // namespace

vestrel::Canvas* mainWindowCanvas() {
    if (!frmSchema) return nullptr;
    runScheduledCanvasResize();
    return &frmSchema->ClientArea->Canvas;
}

int keepOnScreen(int position, int extent, int screenExtent) {
    if (screenExtent < position + extent) position = std::max(0, screenExtent - extent);
    return position;
}

TfrmSchema::TfrmSchema(QWidget* parent) : QMainWindow(parent) {
    // Other units reach the main window through frmSchema while it is still being built.
    frmSchema = this;
    setObjectName("frmSchema");
    QFont formFont("Liberation Sans");
    formFont.setPixelSize(vestrel::fontPixelHeight(8));
    setFont(formFont);

    ClientArea = new TImage(this);
    ClientArea->setObjectName("ClientArea");
    ClientArea->installEventFilter(this);
    setCentralWidget(ClientArea);
    buildMainMenu();
    buildDiagramWidgets();
    buildControlPosts();
    buildFilePanel();
    buildStatusStrips();
    installInputRouting();
    setClientSize(kDesignClientWidth, kDesignClientHeight);
    placeDiagramControls(kDesignClientWidth, kDesignClientHeight);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(40);
    connect(Timer1, &QTimer::timeout, this, &TfrmSchema::Timer1Timer);
    buildNetSockets();

    grpCmdpost->hide();
    fillCmdpostControls();

    grpBestand->move(grpBestand->x(), -2);
    lblCurPos->move(lblCurPos->x(), 50);
    lblCurPos->clear();
    lblLijnlengte->move(lblLijnlengte->x(), 50);
    lblLijnlengte->clear();

    if (!allocateJournalScratch()) fatalOutOfMemory();

    gDiagramCanvas = &imgSchema->Canvas;
    gOnLayoutLoaded = sizeMainWindowToCanvas;
    gLayoutFileName.clear();
    gLocoFileName.clear();
    gBackgroundFileName.clear();

    loadLayoutFile();

    gDrawArea = {0, 0, gCanvasSize.width, gCanvasSize.height - kDiagramMargin};
    gCharWidth = QFontMetrics(font()).horizontalAdvance(QStringLiteral("0"));
    gStatusTextHeight = 12;

    initToolbar();
    gPendingKey = 0;
    gShiftState = 0;
    gMouseButton = 0;

    lblCOM->setText("Geen COM");
    lblHexUit->hide();
    lblLPTCOM->hide();
    lblHexIn->hide();

    recreateBackBuffer();

    if (QScreen* s = screen()) keepWindowOnScreen(s->geometry().width(), s->geometry().height());

    Timer1->setInterval(gSettings.chboCyclus46ms ? 45 : 30);
    Timer1->start();

    gPerfFrequency = vestrel::perfFrequency();
    gPerfTicksPerMs = static_cast<int32_t>(gPerfFrequency / 1000);

    if (vestrel::capsLockOn()) {
        gShiftState = 1;
        setTextColour(lblSnapToGrid, vestrel::clBlue);
    }
}

TfrmSchema::~TfrmSchema() {
    netCloseSockets();
    if (gDiagramCanvas == &imgSchema->Canvas) gDiagramCanvas = nullptr;
    if (gOnLayoutLoaded == sizeMainWindowToCanvas) gOnLayoutLoaded = nullptr;
    for (QWidget*& w : gCmdpostControls) w = nullptr;
    if (frmSchema == this) frmSchema = nullptr;
}

void TfrmSchema::fillCmdpostControls() {
    for (int n = 0; n < kControlPosts; ++n) {
        gCmdpostControls[0 * kControlPosts + n] = btnLok[n];
        gCmdpostControls[1 * kControlPosts + n] = btnMode[n];
        gCmdpostControls[2 * kControlPosts + n] = btnRich[n];
        gCmdpostControls[3 * kControlPosts + n] = lblSnelheid[n];
        gCmdpostControls[4 * kControlPosts + n] = lblPauze[n];
    }
}

void TfrmSchema::keepWindowOnScreen(int screenWidth, int screenHeight) {
    move(keepOnScreen(x(), gCanvasSize.width, screenWidth), keepOnScreen(y(), gCanvasSize.height, screenHeight));
}

void TfrmSchema::setClientSize(int width, int height) {
    const int menuHeight = menuWidget() ? menuWidget()->sizeHint().height() : 0;
    resize(width, height + menuHeight);
    ClientArea->resize(width, height);
    layoutClientArea();
}

// The form's own surface always covers the client area; the diagram image and the status strips are
// placed for the canvas size by placeDiagramControls.
void TfrmSchema::layoutClientArea() {
    resizeCanvasKeeping(ClientArea->Canvas, ClientArea->width(), ClientArea->height(), vestrel::clBtnFace);
}

void TfrmSchema::FormShow() {
    switch (frmInfo ? frmInfo->exec() : 0) {
        case 1: gNetMode = 0; break;
        case 2:
            gNetMode = 0;
            runDemoStep(7);
            break;
        case 6: gNetMode = 30; break;
        case 7: gNetMode = 40; break;
        default: break;
    }
    if (gNetMode == 40) loadNetConfig();
    setNetworkMode(gNetMode);
    updateSpeedFactor();
    gRedrawCountdown = 1;
}

void TfrmSchema::FormPaint() {
    if (gRepaintRequest < 0 || gRedrawCountdown != 0 || sessionRunning()) return;
    gRepaintRequest = 1;
    redrawSchema(0);
    gRepaintRequest = 0;
}

void TfrmSchema::FormResize() {
    if (gEditOpRunning) return;
    gCanvasSize = {ClientArea->width(), ClientArea->height()};
    gRedrawCountdown = 10;
}

int closeQueryAction() {
    const bool demoLayout = gLayoutFileName.compare(0, 5, "demo\\") == 0;
    if (gDemoStep != 0 || demoLayout || gNetMode == 40) return 0;
    if (gLocoDataModified) return 1;
    if (gDirtyFlags) return 2;
    return 0;
}

bool TfrmSchema::FormCloseQuery() {
    switch (closeQueryAction()) {
        case 1: controlPostCommand(1008, gActiveRow); return false;
        case 2: dispatchEditorCommand(1008); return false;
        default: return true;
    }
}

void TfrmSchema::FormClose() {
    closeCommandStationLink();
    netCloseSockets();
    deleteEditJournal();
}

void TfrmSchema::Timer1Timer() {
    mainCycleTick();
    // Only what the tick drew is repainted: the control post's buttons over the client area repaint
    // only when their own values change.
    ClientArea->updateDrawn();
    imgSchema->updateDrawn();
}

void TfrmSchema::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    // The start dialog runs once the window stands on the screen; the activation that follows it
    // puts the window in editor mode.
    QTimer::singleShot(0, this, [this] {
        FormShow();
        FormActivate();
    });
}

void TfrmSchema::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TfrmSchema::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    // Closing the main window ends the program: no other form stays open.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible()) w->hide();
    event->accept();
}

bool TfrmSchema::eventFilter(QObject* watched, QEvent* event) {
    // A repaint shows the diagram as it is due; a redraw done here changed all of it, so all of it is
    // painted again.
    if ((watched == ClientArea || watched == imgSchema) && event->type() == QEvent::Paint &&
        runScheduledFullRedraw()) {
        ClientArea->updateDrawn();
        imgSchema->updateDrawn();
    }
    if (watched == ClientArea && event->type() == QEvent::Resize) {
        layoutClientArea();
        FormResize();
        placeDiagramControls(gCanvasSize.width, gCanvasSize.height);
    }
    return QMainWindow::eventFilter(watched, event);
}
