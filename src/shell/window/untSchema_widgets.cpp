// The components of the main window's client area.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QToolButton>

#include "shell/window/image_view.h"
#include "shell/window/untSchema.h"
#include "shell/window/widget_colours.h"

namespace {

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, int x, int y, int w = 0, int h = 13) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    if (w <= 0) w = l->sizeHint().width();
    l->setGeometry(x, y, w, h);
    return l;
}

QToolButton* makeSpeedButton(QWidget* parent, const QString& name, const QString& text, int x, int y, int w, int h) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(text);
    b->setGeometry(x, y, w, h);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

QGroupBox* makeGroup(QWidget* parent, const char* name, int x, int y, int w, int h) {
    auto* g = new QGroupBox(parent);
    g->setObjectName(name);
    g->setGeometry(x, y, w, h);
    return g;
}

}  // namespace

void TfrmSchema::buildDiagramWidgets() {
    imgSchema = new TImage(ClientArea);
    imgSchema->setObjectName("imgSchema");
    imgSchema->installEventFilter(this);
    connect(imgSchema, &TImage::mouseDown, this, &TfrmSchema::imgSchemaMouseDown);
    connect(imgSchema, &TImage::mouseMove, this, &TfrmSchema::imgSchemaMouseMove);
    connect(imgSchema, &TImage::mouseUp, this, &TfrmSchema::imgSchemaMouseUp);

    lblInfo = makeLabel(ClientArea, "lblInfo", QString(), 0, 0, 120, 13);
    setBackColour(lblInfo, vestrel::clYellow);
    // The hover label follows the pointer; it must never take the pointer's events from the diagram.
    lblInfo->setAttribute(Qt::WA_TransparentForMouseEvents);
    lblInfo->hide();

    cboWissellengte = new QComboBox(ClientArea);
    cboWissellengte->setObjectName("cboWissellengte");
    cboWissellengte->addItems({"12 cm", "15 cm", "18 cm", "21 cm", "24 cm"});
    cboWissellengte->setGeometry(20, 44, 64, 20);
    cboWissellengte->hide();
    cboWisselbreedte = new QComboBox(ClientArea);
    cboWisselbreedte->setObjectName("cboWisselbreedte");
    cboWisselbreedte->addItems({"3 cm", "4.5 cm"});
    cboWisselbreedte->setGeometry(20, 64, 64, 20);
    cboWisselbreedte->hide();
}

void TfrmSchema::buildControlPosts() {
    grpCmdpost = makeGroup(ClientArea, "grpCmdpost", 0, 0, 800, 62);
    // The window's own canvas keeps what the editor drew at the top (its tool bar, the direction
    // legend); the control post covers it as a panel of its own.
    grpCmdpost->setAutoFillBackground(true);
    lblLokAanUit = makeLabel(grpCmdpost, "lblLokAanUit", "Loc Aan/Uit (L)", 4, 8, 90, 13);
    lblModeRich = makeLabel(grpCmdpost, "lblModeRich", "Mode/Rich (M/R)", 4, 22, 90, 13);
    lblSnelh = makeLabel(grpCmdpost, "lblSnelh", "Snelheid (^)", 4, 35, 90, 13);
    lblWachttijd = makeLabel(grpCmdpost, "lblWachttijd", "Wachttijd (+/-)", 4, 47, 90, 13);
    for (int n = 0; n < kControlPosts; ++n) {
        const int x = 96 + 32 * n;
        const QString post = QString::number(n + 1);
        btnLok[n] = makeSpeedButton(grpCmdpost, "btnLok" + post, QString(), x, 8, 32, 14);
        btnMode[n] = makeSpeedButton(grpCmdpost, "btnMode" + post, QString(), x, 22, 16, 14);
        btnRich[n] = makeSpeedButton(grpCmdpost, "btnRich" + post, QString(), x + 16, 22, 16, 14);
        lblSnelheid[n] = makeLabel(grpCmdpost, "lblSnelheid" + post, "0", x, 36, 30, 12);
        lblSnelheid[n]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        lblPauze[n] = makeLabel(grpCmdpost, "lblPauze" + post, "0", x, 48, 30, 12);
        lblPauze[n]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    btnNstop = makeSpeedButton(grpCmdpost, "btnNstop", "NStop", 96 + 32 * kControlPosts + 4, 4, 51, 55);
}

void TfrmSchema::buildFilePanel() {
    grpBestand = makeGroup(ClientArea, "grpBestand", 504, -2, 296, 50);
    lblBestand = makeLabel(grpBestand, "lblBestand", "Bestand", 8, 14);
    lblBestandsnaam = makeLabel(grpBestand, "lblBestandsnaam", ": ", 52, 14, 116, 13);
    lblVarWissel = makeLabel(grpBestand, "lblVarWissel", "Wisselafmeting : vast", 170, 14, 122, 13);
    lblSchaal = makeLabel(grpBestand, "lblSchaal", "Schaal :", 8, 30);
    lblSchaalwaarde = makeLabel(grpBestand, "lblSchaalwaarde", QString(), 52, 30, 90, 13);
    lblZoom = makeLabel(grpBestand, "lblZoom", "Zoom :", 170, 30);
    lblZoomwaarde = makeLabel(grpBestand, "lblZoomwaarde", QString(), 210, 30, 80, 13);
    lblCurPos = makeLabel(ClientArea, "lblCurPos", QString(), 504, 50, 64, 13);
    lblLijnlengte = makeLabel(ClientArea, "lblLijnlengte", QString(), 570, 50, 68, 13);
    // The editor's read-outs lie on the window itself, under the control post of a session.
    lblCurPos->stackUnder(grpCmdpost);
    lblLijnlengte->stackUnder(grpCmdpost);
}

void TfrmSchema::buildStatusStrips() {
    grpStatusTekenpost = makeGroup(ClientArea, "grpStatusTekenpost", 0, 456, 800, 24);
    lblSnapToGrid = makeLabel(grpStatusTekenpost, "lblSnapToGrid", "Snap to grid uit (shift lock)", 8, 6);
    setTextColour(lblSnapToGrid, vestrel::clGray);
    lblVisuNummer = makeLabel(grpStatusTekenpost, "lblVisuNummer", "Nummers onzichtbaar (instelling)", 220, 6);
    lblVisuSectie = makeLabel(grpStatusTekenpost, "lblVisuSectie", "Secties onzichtbaar (instelling)", 440, 6);

    grpStatus = makeGroup(ClientArea, "grpStatus", 0, 456, 800, 24);
    grpStatus->hide();
    lblCOM = makeLabel(grpStatus, "lblCOM", "COMx uit:", 8, 6, 60, 13);
    lblHexUit = makeLabel(grpStatus, "lblHexUit", QString(), 70, 6, 76, 13);
    lblLPTCOM = makeLabel(grpStatus, "lblLPTCOM", "COMx in:", 150, 6, 56, 13);
    lblHexIn = makeLabel(grpStatus, "lblHexIn", QString(), 208, 6, 76, 13);
    lblNet = makeLabel(grpStatus, "lblNet", "+Net+", 290, 6, 40, 13);
    setTextColour(lblNet, vestrel::clGray);
    lblKortsluitbeveiliging = makeLabel(grpStatus, "lblKortsluitbeveiliging", "Kortsluitbeveil.UIT", 336, 5, 110, 14);
    setTextColour(lblKortsluitbeveiliging, vestrel::clWhite);
    setBackColour(lblKortsluitbeveiliging, vestrel::clRed);
    lblKortsluitbeveiliging->setToolTip("zie instelling");
    lblKortsluitbeveiliging->hide();
    lblCyclustijd = makeLabel(grpStatus, "lblCyclustijd", "Cyclus:", 456, 6, 44, 13);
    lblKlokinterval = makeLabel(grpStatus, "lblKlokinterval", QString(), 502, 6, 190, 13);
    lblTijd = makeLabel(grpStatus, "lblTijd", QString(), 700, 6, 90, 13);
}
