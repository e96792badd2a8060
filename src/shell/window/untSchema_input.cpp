// The main window's input: keys of every widget of the window, the pointer on the window and on the
// diagram image, the menu items, the control-post widgets and the status panels. Each becomes a
// command code for the editor or the control post (shell/window/input_routing.h).
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QFile>
#include <QToolButton>
#include <QVariant>
#include <cstring>
#include <functional>

#include "layout/model/layout_model.h"
#include "layout/frame/render.h"
#include "layout/model/scale.h"
#include "network/model/net_state.h"
#include "operation/dialogs/untTijd.h"
#include "platform/desktop.h"
#include "platform/virtual_keys.h"
#include "shell/model/app_state.h"
#include "shell/main/demo.h"
#include "shell/config/help.h"
#include "shell/window/image_view.h"
#include "shell/window/input_routing.h"
#include "shell/main/session.h"
#include "shell/config/settings_pages.h"
#include "shell/dialogs/untAfdrukken.h"
#include "shell/dialogs/untInfo.h"
#include "shell/dialogs/untInstellingen.h"
#include "shell/window/untSchema.h"
#include "shell/window/widget_colours.h"

namespace {

int buttonNumber(Qt::MouseButton b) {
    switch (b) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 3;
    default: return 0;
    }
}

// Keys reach the main window whatever widget of it has the focus; other windows keep theirs.
class SchemaKeyFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || !frmSchema || !watched->isWidgetType())
            return false;
        auto* w = static_cast<QWidget*>(watched);
        if (w->window() != frmSchema) return false;
        if (auto* bar = qobject_cast<QMenuBar*>(w)) {
            // The menu bar keeps the keys only while it is active (after Alt or a menu's Alt+letter, an
            // item highlighted): then its letters are mnemonics. A menu chosen from the keyboard leaves the
            // focus on the bar; from then on plain letters are the editor's again, not menu mnemonics.
            if (bar->activeAction()) return false;
            if (type == QEvent::KeyPress) bar->clearFocus();
        }
        auto* key = static_cast<QKeyEvent*>(event);
        if (type == QEvent::KeyPress)
            frmSchema->FormKeyDown(key);
        else
            frmSchema->FormKeyUp(key);
        return true;
    }
};

// Press and release on the labels and panels that act on a click.
class PanelFilter : public QObject {
public:
    using QObject::QObject;
    std::function<void(QWidget*, int button)> onPress;
    std::function<void(QWidget*)> onRelease;
    // The press and release end here instead of going on to the widget's parent.
    bool consume = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* w = static_cast<QWidget*>(watched);
        const QEvent::Type t = event->type();
        if (t == QEvent::MouseButtonPress && onPress)
            onPress(w, buttonNumber(static_cast<QMouseEvent*>(event)->button()));
        else if (t == QEvent::MouseButtonRelease && onRelease)
            onRelease(w);
        return consume && (t == QEvent::MouseButtonPress || t == QEvent::MouseButtonRelease ||
                           t == QEvent::MouseButtonDblClick);
    }
};

enum class Route { Both, Editor, ControlPost };

struct MenuCommand {
    const char* item;
    Route route;
    int code;
};

constexpr MenuCommand kMenuCommands[] = {
    {"mnuNieuw", Route::Both, 1001},           {"mnuOpenen", Route::Both, 1002},
    {"mnuOpslaan", Route::Both, 1003},         {"mnuOpslaanAls", Route::Both, 1004},
    {"mnuVerwijderen", Route::Both, 1005},     {"mnuUndo", Route::Editor, 1017},
    {"mnuRedo", Route::Editor, 1018},          {"mnuVerplaatsen", Route::Editor, 1011},
    {"mnuVerplaatsenPunt", Route::Editor, 1016}, {"mnuBouwstWijzigen", Route::Editor, 1012},
    {"mnuBouwstVerwijderen", Route::Editor, 1013}, {"mnuSchemaVerpl", Route::Editor, 1014},
    {"mnuVerbindingen", Route::Editor, 1015},  {"mnuTrajNieuw", Route::Editor, 1021},
    {"mnuTrajWijzigen", Route::Editor, 1022},  {"mnuTrajVerwijderen", Route::Editor, 1023},
    {"mnuLocBeheer", Route::ControlPost, 1041}, {"mnuLocToevoegen", Route::ControlPost, 1042},
    {"mnuLocVerwijderen", Route::ControlPost, 1043}, {"mnuLocSturen1", Route::ControlPost, 1044},
    {"mnuLocSturen2", Route::ControlPost, 1045}, {"mnuLocTraject", Route::ControlPost, 1046},
    {"mnuLocProg", Route::ControlPost, 1047},  {"mnuForceRijden", Route::ControlPost, 1048},
    {"mnuWagBeheer", Route::ControlPost, 1051}, {"mnuWagToevoegen", Route::ControlPost, 1052},
    {"mnuWagVerwijderen", Route::ControlPost, 1053}, {"mnuWagOntkop", Route::ControlPost, 1054},
    {"mnuBlok", Route::ControlPost, 1061},     {"mnuWissel", Route::ControlPost, 1071},
    {"mnuSein", Route::ControlPost, 1081},     {"mnuUitgang", Route::ControlPost, 1091},
    {"mnuFunctieDec", Route::ControlPost, 1101}, {"mnuStapWijzig", Route::ControlPost, 1111},
    {"mnuStapSimIn", Route::ControlPost, 1112},
};

const MenuCommand* menuCommandOf(const QAction* item) {
    const QByteArray name = item->objectName().toLatin1();
    for (const MenuCommand& c : kMenuCommands)
        if (std::strcmp(c.item, name.constData()) == 0) return &c;
    return nullptr;
}

// An item counts only while it and every menu above it are enabled: a shortcut of an item in a disabled
// menu does nothing, as a click cannot reach it.
bool effectivelyEnabled(const QAction* item) {
    if (!item->isEnabled() || !item->isVisible()) return false;
    for (const QObject* p = item->parent(); p; p = p->parent())
        if (const auto* menu = qobject_cast<const QMenu*>(p))
            if (!menu->menuAction()->isEnabled()) return false;
    return true;
}

void startAnimationViewer() {
    vestrel::startProgram(QFile::encodeName(QCoreApplication::applicationDirPath() + "/VestrelAnim").toStdString());
}

}  // namespace

void showSnapState(bool snappingOff) {
    if (frmSchema) setTextColour(frmSchema->lblSnapToGrid, snappingOff ? vestrel::clBlue : vestrel::clGray);
}

void requestHoverInfo(int32_t tag) {
    if (frmSchema) frmSchema->lblInfo->setProperty("Tag", tag);
}

void TfrmSchema::installInputRouting() {
    qApp->installEventFilter(new SchemaKeyFilter(this));
    connect(ClientArea, &TImage::mouseMove, this, [this](QMouseEvent* e) { FormMouseMove(ClientArea, e); });
    connect(ClientArea, &TImage::mouseUp, this, [this](QMouseEvent* e) { FormMouseUp(ClientArea, e); });
    routeControlPostClicks();
    routePanelClicks();
}

void TfrmSchema::FormKeyDown(QKeyEvent* event) {
    const vestrel::TranslatedKey key = vestrel::translateKey(*event);
    routeKeyDown(key.vk, key.modifiers);
}

void TfrmSchema::FormKeyUp(QKeyEvent*) { routeKeyUp(); }

void TfrmSchema::FormMouseMove(QObject* sender, QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    routePointerMove(p.x(), p.y(), sender == nullptr);
}

void TfrmSchema::FormMouseUp(QObject* sender, QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    int modifiers = 0;
    if (event->modifiers() & Qt::AltModifier) modifiers |= vestrel::kAltBit;
    if (event->modifiers() & Qt::ControlModifier) modifiers |= vestrel::kCtrlBit;
    routeMouseUp(p.x(), p.y(), buttonNumber(event->button()), sender == nullptr, modifiers);
}

void TfrmSchema::imgSchemaMouseDown(QMouseEvent*) { routeImagePress(); }

void TfrmSchema::imgSchemaMouseMove(QMouseEvent* event) {
    FormMouseMove(nullptr, event);
    const QPoint p = event->position().toPoint();
    routeImageDrag(p.x(), p.y(), event->buttons() & Qt::LeftButton);
}

void TfrmSchema::imgSchemaMouseUp(QMouseEvent* event) { FormMouseUp(nullptr, event); }

void TfrmSchema::menuItemClick(QAction* item) {
    if (!effectivelyEnabled(item)) return;
    if (const MenuCommand* c = menuCommandOf(item)) {
        if (c->route == Route::Editor)
            routeEditorCommand(c->code);
        else if (c->route == Route::ControlPost)
            routeControlPostCommand(c->code, gActiveRow);
        else
            routeCommand(c->code);
        return;
    }
    const QString name = item->objectName();
    if (name == "mnuAfdrukken") {
        if (frmAfdrukken) frmAfdrukken->show();
    } else if (name == "mnuAfsluiten") {
        close();
    } else if (name == "mnuDemoTekenSchema") {
        runDemoStep(gDemoStep != 0 ? -1 : 1);
    } else if (name.startsWith("mnuDemo")) {
        const QStringList demos{"mnuDemoMaakTraject", "mnuDemoStuurpost1", "mnuDemoStuurpost2", "mnuDemoStuurpost3",
                                "mnuDemoStuurpost4", "mnuDemoStappen"};
        if (demos.contains(name)) runDemoStep(2 + static_cast<int>(demos.indexOf(name)));
    } else if (name == "mnuMetSturing") {
        mnuMetSturingClick();
    } else if (name == "mnuZonderSturing") {
        mnuZonderSturingClick();
    } else if (name == "mnuOpfrissen") {
        redrawSchema(1);
    } else if (name == "mnuAnimatie") {
        startAnimationViewer();
    } else if (name == "mnuInstelling") {
        if (frmInstellingen) frmInstellingen->showOrRefresh();
    } else if (name == "mnuHulp") {
        showHelpTopic(sessionRunning() ? 16 : 6);
    } else if (name == "mnuInhoud") {
        showHelpTopic(0);
    } else if (name == "mnuInfo") {
        if (frmInfo) frmInfo->showAboutBox();
    }
}

void TfrmSchema::routeControlPostClicks() {
    for (int n = 0; n < kControlPosts; ++n) {
        connect(btnLok[n], &QToolButton::clicked, this, [n] { routeControlPostCommand(301, n); });
        connect(btnMode[n], &QToolButton::clicked, this, [n] { routeControlPostCommand(302, n); });
        connect(btnRich[n], &QToolButton::clicked, this, [n] { routeControlPostCommand(303, n); });
    }
    connect(btnNstop, &QToolButton::clicked, this, [] { routeControlPostCommand(32, gActiveRow); });
    // A held speed label repeats its arrow key, a held wait label its + or -, on every tick. The group
    // box around them shows help on a click: a click on these labels is theirs alone.
    auto* held = new PanelFilter(this);
    held->consume = true;
    held->onPress = [this](QWidget* w, int button) {
        for (int n = 0; n < kControlPosts; ++n) {
            if (w == lblSnelheid[n] || w == lblPauze[n]) {
                gActiveRow = n;
                if (w == lblSnelheid[n])
                    gPendingKey = button == 1 ? 38 : 40;
                else
                    gPendingKey = button == 1 ? '+' : '-';
            }
        }
    };
    held->onRelease = [](QWidget*) { gPendingKey = 0; };
    for (int n = 0; n < kControlPosts; ++n) {
        lblSnelheid[n]->installEventFilter(held);
        lblPauze[n]->installEventFilter(held);
    }
}

void TfrmSchema::routePanelClicks() {
    // A click is its widget's alone: the group box around a label would show its help as well.
    auto* clicks = new PanelFilter(this);
    clicks->consume = true;
    clicks->onRelease = [this](QWidget* w) {
        if (w == lblTijd) {
            if (gNetMode != 40 && frmTijd) {
                // Already open, it shows the clock as it is now.
                if (frmTijd->isVisible()) frmTijd->FormActivate();
                frmTijd->show();
                frmTijd->raise();
            }
        } else if (w == lblVisuNummer || w == lblVisuSectie) {
            showSettingsPage(0);
        } else if (w == lblCOM || w == lblLPTCOM || w == lblKortsluitbeveiliging) {
            if (!gRunWithoutTrack) showSettingsPage(1);
        } else if (w == lblNet) {
            showSettingsPage(2);
        } else if (w == grpCmdpost || w == lblLokAanUit || w == lblModeRich || w == lblSnelh || w == lblWachttijd) {
            showHelpTopic(16);
        } else {
            showHelpTopic(23);
        }
    };
    for (QWidget* w : std::initializer_list<QWidget*>{
             lblTijd, lblVisuNummer, lblVisuSectie, lblCOM, lblLPTCOM, lblKortsluitbeveiliging, lblNet, grpStatus,
             lblHexUit, lblHexIn, lblCyclustijd, lblKlokinterval, grpCmdpost, lblLokAanUit, lblModeRich, lblSnelh,
             lblWachttijd})
        w->installEventFilter(clicks);
    connect(cboWissellengte, &QComboBox::activated, this, [](int index) {
        gTurnoutLengthIndex = static_cast<uint8_t>(index);
        setScaleParameters(gZoomDigit, gScaleDigit, gTurnoutSizeMode);
    });
    connect(cboWisselbreedte, &QComboBox::activated, this, [](int index) {
        gTurnoutWidthIndex = static_cast<uint8_t>(index);
        setScaleParameters(gZoomDigit, gScaleDigit, gTurnoutSizeMode);
        redrawSchema(1);
    });
}
