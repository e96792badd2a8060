#include "operation/dialogs/untLok.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QToolButton>

#include "layout/model/layout_model.h"
#include "layout/model/parse_number.h"
#include "layout/editor/editor_state.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "operation/control/control_post.h"
#include "operation/control/dialog_refresh.h"
#include "operation/model/loco_functions.h"
#include "operation/control/emergency_stop.h"
#include "operation/control/loco_operation.h"
#include "operation/control/loco_putting.h"
#include "operation/control/speed_bar.h"
#include "operation/dialogs/untFunctieDec.h"
#include "operation/dialogs/untTraject.h"
#include "operation/draw/train_drawing.h"
#include "operation/draw/vehicle_photos.h"
#include "operation/engine/contact_evaluation.h"
#include "operation/engine/train_placement.h"
#include "operation/model/speed_curve.h"
#include "operation/model/train_model.h"
#include "link/buffers/link_buffers.h"
#include "shell/config/help.h"
#include "shell/config/messages.h"
#include "shell/model/app_state.h"
#include "shell/window/control_highlight.h"
#include "shell/window/form_setup.h"
#include "shell/window/status_line.h"
#include "shell/window/untSchema.h"
#include "shell/window/widget_colours.h"

TfrmLok* frmLok = nullptr;

namespace {

constexpr int kPutting = 3;
constexpr int kConfirmed = 5;
constexpr int kDriving = 8;
constexpr int kDialogCode = 12;
constexpr int kRouteEditMode = 17;
constexpr vestrel::TColor kAscColour = vestrel::rgb(255, 176, 128);
constexpr const char* kReserved = "Dit blok is reeds voorbehouden !";
constexpr int kPuttingButtonsTop = 275;  // without the driving group
constexpr int kButtonGap = 6;

// The panels by function number, not by their order on the form.
constexpr const char* kPanelNames[kLokFunctionPanels] = {
    "pnlF0",  "pnlF1",  "pnlF2",  "pnlF3",  "pnlF4",  "pnlF5",  "pnlF6",  "pnlF7",  "pnlF8",  "pnlF9", "pnlF10",
    "pnlF11", "pnlF12", "pnlF13", "pnlF14", "pnlF15", "pnlF16", "pnlF17", "pnlF18", "pnlF19", "pnlF20"};

constexpr const char* kRoles[] = {"geen bezetmelding",           "beginsec heen/eindsec terug",
                                  "station/vrijgave terug",      "stat/vrijg korte trein terug",
                                  "stat/vrijg korte trein heen", "station/vrijgave heen",
                                  "eindsec heen/beginsec terug"};
constexpr const char* kModeWords[] = {"Rangeer", "Manueel", "Auto", "Traject"};

QLabel* label(QWidget* parent, const char* name, const QString& text, int x, int y, int w, int h = 16) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(x, y, w, h);
    return l;
}

QComboBox* combo(QWidget* parent, const char* name, const QStringList& items, int x, int y, int w) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->addItems(items);
    c->setGeometry(x, y, w, 22);
    return c;
}

QLabel* panel(QWidget* parent, const char* name, const QString& text, int x, int y, int w) {
    QLabel* p = label(parent, name, text, x, y, w, 20);
    p->setFrameStyle(QFrame::Panel | QFrame::Raised);
    p->setLineWidth(2);
    p->setAlignment(Qt::AlignCenter);
    p->setAutoFillBackground(true);
    return p;
}

void lowerPanel(QLabel* p, bool lowered, vestrel::TColor colour) {
    p->setFrameShadow(lowered ? QFrame::Sunken : QFrame::Raised);
    setBackColour(p, lowered ? colour : vestrel::clBtnFace);
}

// The last function panel the decoder type has: F0 only, F0..F4 (Motorola), F0..F20 (DCC).
int lastFunction(const LocoRec& loco) { return loco.decoderType == 0 ? 0 : loco.decoderType <= 2 ? 4 : 20; }

int kindIndex(uint8_t kind) {
    for (int bit = 3; bit >= 0; --bit)
        if (kind & (1 << bit)) return bit;
    return -1;
}

LocoRec* locoNumbered(int number, bool onTrack) {
    if (onTrack) {
        for (LocoRec* l : gLocsOnTrack)
            if (l->number == number) return l;
        return nullptr;
    }
    for (LocoRec* l : gLocs)
        if (l->number == number) return l;
    return nullptr;
}

int rowOf(const LocoRec* loco) { return gLocsOnTrack.indexOf(const_cast<LocoRec*>(loco)); }

double typedValue(const QLineEdit* e) { return e->text().trimmed().replace(',', '.').toDouble(); }

}  // namespace

TfrmLok::TfrmLok(QWidget* parent) : TFormDialog(parent) {
    setupForm(this, "frmLok", "Locomotief", 420, 310);
    imgLocBeeld = label(this, "imgLocBeeld", "", 10, 8, 240, 60);
    imgLocBeeld->setScaledContents(true);
    lblNummer = label(this, "lblNummer", "Loc", 10, 76, 30);
    cboLocNummer = combo(this, "cboLocNummer", {}, 40, 74, 80);
    cboLocNummer->setEditable(true);
    cboLocNummer->lineEdit()->setMaxLength(20);
    lblBlokNr = label(this, "lblBlokNr", "Blok", 130, 76, 30);
    edtBlokNr = formEdit(this, "edtBlokNr", 3, 160, 74, 40);
    lblRichtingHT = label(this, "lblRichtingHT", "Richting", 210, 76, 50);
    cboRichting = combo(this, "cboRichting", {"Heen", "Terug"}, 260, 74, 70);
    QStringList roles;
    for (const char* r : kRoles) roles << r;
    cboSecSoort = combo(this, "cboSecSoort", roles, 10, 102, 190);
    cboSecSoort->setEnabled(false);
    cboLocSoort = combo(this, "cboLocSoort", {"Personen", "Goederen", "Rangeer", "Andere"}, 205, 102, 95);
    cboLocMotor = combo(this, "cboLocMotor", {"Stoom", "Diesel", "Electrisch"}, 305, 102, 95);
    // The row is as wide as its longest texts need: the form grows when the font is wider.
    int x = 10;
    for (QComboBox* c : {cboSecSoort, cboLocSoort, cboLocMotor}) {
        c->setGeometry(x, c->y(), std::max(c->width(), c->sizeHint().width()), c->height());
        x = c->geometry().right() + 6;
    }
    resize(std::max(width(), x + 14), height());
    // They show the train dialog's choices; this panel changes neither.
    cboLocSoort->setEnabled(false);
    cboLocMotor->setEnabled(false);

    grpStuur = new QGroupBox(this);
    grpStuur->setObjectName("grpStuur");
    grpStuur->setGeometry(10, 130, 400, 174);
    tbarSnelheid = new QSlider(Qt::Vertical, grpStuur);
    tbarSnelheid->setObjectName("tbarSnelheid");
    tbarSnelheid->setGeometry(10, 14, 30, 150);
    tbarSnelheid->setInvertedAppearance(true);
    tbarSnelheid->setTickPosition(QSlider::TicksRight);
    // The group takes the pointer over the bar: the step under it is asked for, not a slider drag.
    tbarSnelheid->setAttribute(Qt::WA_TransparentForMouseEvents);
    lblMaxSnelheid = label(grpStuur, "lblMaxSnelheid", "M", 42, 14, 12);
    lblKm_h = label(grpStuur, "lblKm_h", "km/h", 56, 14, 34);
    lblReeleSnelh = label(grpStuur, "lblReeleSnelh", "", 56, 30, 34);
    btnLok0 = formButton(grpStuur, "btnLok0", "Aan", 95, 12, 50);
    btnMode0 = formButton(grpStuur, "btnMode0", "Rangeer", 150, 12, 70);
    btnRich0 = formButton(grpStuur, "btnRich0", "voorwaarts", 225, 12, 90);
    tbarVersnelling = new QSlider(Qt::Horizontal, grpStuur);
    tbarVersnelling->setObjectName("tbarVersnelling");
    tbarVersnelling->setRange(0, 9);
    tbarVersnelling->setGeometry(95, 42, 150, 22);
    lblVersn = label(grpStuur, "lblVersn", "", 250, 46, 30);
    lblPauzetel = label(grpStuur, "lblPauzetel", "", 95, 70, 40);
    edtPauzetel = formEdit(grpStuur, "edtPauzetel", 4, 95, 68, 40);
    lblKmTellerTot = label(grpStuur, "lblKmTellerTot", "", 140, 70, 100);
    lblKmTellerDag = label(grpStuur, "lblKmTellerDag", "", 245, 70, 100);
    edtKmTellerDag = formEdit(grpStuur, "edtKmTellerDag", 7, 245, 68, 70);
    lblSnelhcorr = label(grpStuur, "lblSnelhcorr", "", 95, 94, 40);
    pnlSnelhcorrauto = panel(grpStuur, "pnlSnelhcorrauto", "ASC", 300, 92, 40);
    pnlForceRijden = panel(grpStuur, "pnlForceRijden", "Force", 345, 92, 45);
    chboVersnelling = new QCheckBox("Ingestelde snelheid zenden", grpStuur);
    chboVersnelling->setObjectName("chboVersnelling");
    chboVersnelling->setGeometry(95, 114, 200, 20);
    edtStartpauzetijd = formEdit(grpStuur, "edtStartpauzetijd", 1, 300, 114, 20);
    lblSeconde = label(grpStuur, "lblSeconde", "s", 323, 116, 10);
    for (int n = 0; n < kLokFunctionPanels; ++n) {
        // F0..F4 on the first row, F5..F12 and F13..F20 on the rows the form grows for.
        const int row = n <= 4 ? 0 : n <= 12 ? 1 : 2;
        const int col = n <= 4 ? n : n <= 12 ? n - 5 : n - 13;
        pnlF[n] = panel(grpStuur, kPanelNames[n], QString("F%1").arg(n), 95 + col * 36, 142 + row * 30, 32);
    }
    btnOK = formButton(this, "btnOK", "OK", 10, kPuttingButtonsTop, 70);
    btnAnnuleren = formButton(this, "btnAnnuleren", "Annuleren", 88, kPuttingButtonsTop, 75);
    btnTraject = formButton(this, "btnTraject", "Traject", 171, kPuttingButtonsTop, 70);
    btnFunctieDec = formButton(this, "btnFunctieDec", "F.dec.", 249, kPuttingButtonsTop, 70);
    btnHelp = formButton(this, "btnHelp", "Help", 327, kPuttingButtonsTop, 70);
    edtPauzetel->hide();
    edtKmTellerDag->hide();

    connect(btnOK, &QPushButton::clicked, this, [this] { btnOKClick(true); });
    connect(btnAnnuleren, &QPushButton::clicked, this, &TfrmLok::btnAnnulerenClick);
    connect(btnTraject, &QPushButton::clicked, this, &TfrmLok::btnTrajectClick);
    connect(btnFunctieDec, &QPushButton::clicked, this, &TfrmLok::btnFunctieDecClick);
    connect(btnHelp, &QPushButton::clicked, this, &TfrmLok::btnHelpClick);
    connect(btnLok0, &QPushButton::clicked, this, &TfrmLok::btnLok0Click);
    connect(btnMode0, &QPushButton::clicked, this, &TfrmLok::btnMode0Click);
    connect(btnRich0, &QPushButton::clicked, this, &TfrmLok::btnRich0Click);
    connect(cboLocNummer, &QComboBox::activated, this, [this] { cboLocNummerChange(); });
    connect(cboLocNummer->lineEdit(), &QLineEdit::textEdited, this, [this] { cboLocNummerChange(); });
    connect(edtBlokNr, &QLineEdit::textEdited, this, [this] { edtBlokNrChange(); });
    connect(cboRichting, &QComboBox::activated, this, [this] { cboRichtingChange(); });
    connect(tbarVersnelling, &QSlider::valueChanged, this, [this] {
        if (!filling_) tbarVersnellingChange();
    });
    connect(tbarSnelheid, &QSlider::valueChanged, this, [this] { tbarSnelheidChange(); });
    connect(chboVersnelling, &QCheckBox::clicked, this, [this] { chboVersnellingClick(); });
    connect(edtStartpauzetijd, &QLineEdit::textEdited, this, [this] { edtStartpauzetijdChange(); });
    connect(edtPauzetel, &QLineEdit::editingFinished, this, [this] {
        if (!edtPauzetel->hasFocus()) edtPauzetelExit();
    });
    connect(edtKmTellerDag, &QLineEdit::editingFinished, this, [this] {
        if (!edtKmTellerDag->hasFocus()) edtKmTellerDagExit();
    });
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
}

LocoRec* TfrmLok::drivenLoco() const {
    if (!isVisible() || Tag != kDriving || !gCurLoc || rowOf(gCurLoc) < 0) return nullptr;
    return gCurLoc;
}

void TfrmLok::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TfrmLok::closeEvent(QCloseEvent* event) {
    if (isVisible()) FormClose();
    QDialog::closeEvent(event);
}

void TfrmLok::showPhoto(LocoRec* loco) {
    shownPhotoLoco_ = loco;
    QImage image;
    loadPhotoBitmap("foto\\loc\\", loco ? loco->run.photo : std::string(), image);
    imgLocBeeld->setPixmap(QPixmap::fromImage(image));
}

void TfrmLok::listLocos(bool onTrack) {
    filling_ = true;
    cboLocNummer->clear();
    if (onTrack) {
        for (LocoRec* l : gLocsOnTrack) cboLocNummer->addItem(QString::number(l->number));
    } else {
        for (LocoRec* l : gLocs)
            if (!l->run.head.block && gHelperLocs.indexOf(l) < 0) cboLocNummer->addItem(QString::number(l->number));
    }
    filling_ = false;
}

void TfrmLok::startPutting() {
    listLocos(false);
    gCurLoc = cboLocNummer->count() > 0 ? locoNumbered(cboLocNummer->itemText(0).toInt(), false) : nullptr;
    cboLocNummer->setCurrentIndex(cboLocNummer->count() > 0 ? 0 : -1);
    showPhoto(gCurLoc);
    edtBlokNr->clear();
    gSelectedBlock = nullptr;
    setWindowTitle("Locomotief op spoor zetten");
    btnAnnuleren->setText("Annuleren");
    btnOK->setVisible(true);
    btnOK->setEnabled(false);
    btnTraject->hide();
    grpStuur->hide();
    edtBlokNr->setEnabled(true);
    cboRichting->setEnabled(true);
    placeButtons(kPuttingButtonsTop);
    Tag = kPutting;
}

void TfrmLok::startDriving() {
    setWindowTitle("Locomotief sturen");
    btnAnnuleren->setText("Afsluiten");
    listLocos(true);
    btnOK->hide();
    edtPauzetel->hide();
    edtKmTellerDag->hide();
    btnTraject->show();
    grpStuur->show();
    edtBlokNr->setEnabled(false);
    cboRichting->setEnabled(false);
    Tag = kDriving;
}

void TfrmLok::FormActivate() {
    if (Tag == 0) {
        if (gEditMode == kPostPlaceLoco) startPutting();
        else if (gEditMode == kPostVehicleDialog) startDriving();
        gEditMode = 0;
        const bool demo = gDemoStep != 0;
        for (QWidget* w : std::initializer_list<QWidget*>{cboLocNummer, edtBlokNr, cboRichting, btnOK, btnAnnuleren, grpStuur})
            if (demo) w->setEnabled(false);
        if (!demo) {
            btnAnnuleren->setEnabled(true);
            grpStuur->setEnabled(true);
        }
    }
    gActiveDialog = kDialogCode;
    if (Tag == kPutting) activatePutting();
    else if (Tag == kDriving) activateDriving();
    showCommon();
}

void TfrmLok::activatePutting() {
    LocoRec* t = gCurLoc;
    if (t && t->run.head.block != gSelectedBlock) {
        if (t->run.head.block) {
            takeLocoOffTrack(t);
            t->run.head = PositionRec{};
        }
        if (BlockRec* b = gSelectedBlock) {
            if (b->allowedDirection == 'H' || b->allowedDirection == 'T') t->heading = b->allowedDirection;
            if (blockReserved(b)) {
                showDialogMessage(kReserved, 1);
                gSelectedBlock = nullptr;
            } else if (!placeLocoOnBlock(t, b)) {
                gSelectedBlock = nullptr;
            }
            if (!gSelectedBlock) t->contactRole = 0;
        }
        if (!gSelectedBlock) t->run.head = PositionRec{};
    }
    if (gDemoStep == 0) {
        cboLocNummer->setEnabled(gSelectedBlock == nullptr);
        btnOK->setEnabled(gSelectedBlock != nullptr);
    }
}

void TfrmLok::layoutForDecoder(const LocoRec* loco) {
    const bool motorola = loco->decoderType > 0;
    const bool dcc = loco->decoderType > 2;
    pnlF[0]->show();
    for (int n = 1; n < kLokFunctionPanels; ++n) pnlF[n]->setVisible(n <= 4 ? motorola : dcc);
    edtStartpauzetijd->setVisible(motorola);
    lblSeconde->setVisible(motorola);
    // F5..F20 need two more rows: the group grows, and the buttons stay below it.
    grpStuur->resize(grpStuur->width(), dcc ? 238 : 174);
    placeButtons(grpStuur->geometry().bottom() + 1 + kButtonGap);
}

void TfrmLok::placeButtons(int top) {
    for (QPushButton* b : {btnOK, btnAnnuleren, btnTraject, btnFunctieDec, btnHelp}) b->move(b->x(), top);
    resize(width(), top + 35);
}

void TfrmLok::activateDriving() {
    LocoRec* t = gCurLoc;
    if (!t || rowOf(t) < 0) return;
    filling_ = true;
    const int index = cboLocNummer->findText(QString::number(t->number));
    if (index >= 0) cboLocNummer->setCurrentIndex(index);
    filling_ = false;
    if (shownPhotoLoco_ != t) showPhoto(t);
    layoutForDecoder(t);
    showDrivingValues(t);
    refreshFunctionPanels(t);
}

void TfrmLok::showSpeed(LocoRec* t) {
    const int steps = std::max<int>(t->run.speedSteps, 0);
    filling_ = true;
    tbarSnelheid->setMaximum(steps);
    tbarSnelheid->setTickInterval(steps < 32 ? 2 : 6);
    tbarSnelheid->setValue(steps - t->targetStep);
    filling_ = false;
    const int entry = steps > 0 ? std::clamp(t->currentStep * 126 / steps, 0, kSpeedTableSize - 1) : 0;
    lblReeleSnelh->setText(QString::number(t->speedTable[entry]));
    lblMaxSnelheid->setVisible(t->maxStep < steps);
    if (t->maxStep < steps && steps > 0) {
        const QRect bar = tbarSnelheid->geometry();
        lblMaxSnelheid->move(lblMaxSnelheid->x(), bar.top() + (steps - t->maxStep) * (bar.height() - 10) / steps);
    }
}

void TfrmLok::showWait(int wait) { lblPauzetel->setText(QString::number(wait)); }

void TfrmLok::showKmCounters(LocoRec* t) {
    lblKmTellerTot->setText(QString::asprintf("%10.0f", t->run.kmTotal).trimmed());
    lblKmTellerDag->setText(QString::asprintf("%10.2f", t->run.kmDay).trimmed());
}

void TfrmLok::showDrivingValues(LocoRec* t) {
    filling_ = true;
    tbarVersnelling->setValue(std::clamp(10 - t->acceleration, 0, 9));
    filling_ = false;
    lblVersn->setText(QString::number(t->acceleration));
    showSpeed(t);
    const int row = rowOf(t);
    if (frmSchema && row >= 0 && row < kControlPosts) {
        btnLok0->setText(t->running ? "Aan" : "Uit");
        setTextColour(btnLok0, textColour(frmSchema->btnLok[row]));
        btnMode0->setText(kModeWords[t->mode <= 3 ? t->mode : 0]);
        setTextColour(btnMode0, textColour(frmSchema->btnMode[row]));
        btnRich0->setText(t->direction == 'v' ? "voorwaarts" : "achterwaarts");
        setTextColour(btnRich0, textColour(frmSchema->btnRich[row]));
    }
    const BlockRec* head = t->run.head.block;
    showWait(head ? head->remainingWait : 0);
    showKmCounters(t);
    lblSnelhcorr->setText(QString::asprintf("%+d", t->run.speedCorrection));
    chboVersnelling->setChecked(t->flags & kLocoSendTarget);
    showAscPanel(t);
    showForcePanel(t);
}

void TfrmLok::showCommon() {
    LocoRec* t = gCurLoc;
    if (!t) return;
    filling_ = true;
    const QString pause = QString::number((t->run.runFlagsA >> 5) & 7);
    if (edtStartpauzetijd->text() != pause) edtStartpauzetijd->setText(pause);
    if (t->run.head.block) {
        const QString number = QString::number(t->run.head.block->number);
        if (edtBlokNr->text() != number) edtBlokNr->setText(number);
    }
    cboSecSoort->setCurrentIndex(t->contactRole <= 6 ? t->contactRole : 0);
    cboRichting->setCurrentIndex(t->heading == 'T' ? 1 : 0);
    cboLocMotor->setCurrentIndex(t->motor <= 2 ? t->motor : 0);
    cboLocSoort->setCurrentIndex(kindIndex(t->kind));
    filling_ = false;
}

void TfrmLok::btnOKClick(bool fromUser) {
    if (fromUser && gMessageShown) return;
    LocoRec* t = gCurLoc;
    if (Tag != kPutting || !t || !t->run.head.block) return;
    BlockRec* block = t->run.head.block;
    if (fromUser && gNetLinkState == 40) {
        const int c = static_cast<uint8_t>(t->heading) | (static_cast<uint8_t>(t->direction) << 8);
        const uint8_t tail[4] = {static_cast<uint8_t>(c & 0xFF), static_cast<uint8_t>(c >> 8),
                                 static_cast<uint8_t>(block->number), static_cast<uint8_t>(gBlocks.indexOf(block))};
        netQueueBlobRecord(40, 2, 40, t->number, t->slot, tail, sizeof tail);
        close();
        return;
    }
    // Refused (20 on the track already, or a helper): closing in the putting use takes the train off
    // its block again, and nothing was queued.
    if (putLocoOnTrack(t)) Tag = kConfirmed;
    close();
}

void TfrmLok::btnAnnulerenClick() {
    if (Tag == kPutting && gMessageShown) return;
    close();
}

void TfrmLok::FormClose() {
    if (Tag == kPutting && gCurLoc && gCurLoc->run.head.block && rowOf(gCurLoc) < 0) {
        takeLocoOffTrack(gCurLoc);
        gCurLoc->run.head = PositionRec{};
        gSelectedBlock = nullptr;
    }
    gEditMode = 0;
    clearStatusLine();
    Tag = 0;
    gActiveDialog = 0;
}

void TfrmLok::cboLocNummerChange() {
    if (filling_) return;
    const int number = parseNumber(cboLocNummer->currentText().toStdString());
    LocoRec* t = locoNumbered(number, Tag == kDriving);
    if (!t || t == gCurLoc) return;
    if (Tag == kPutting && gCurLoc && gCurLoc->run.head.block) {
        takeLocoOffTrack(gCurLoc);
        gCurLoc->run.head = PositionRec{};
    }
    gCurLoc = t;
    showPhoto(t);
    FormActivate();
}

void TfrmLok::edtBlokNrChange() {
    if (filling_ || Tag != kPutting) return;
    const int number = parseNumber(edtBlokNr->text().toStdString());
    gSelectedBlock = number > 0 ? blockByNumber(number) : nullptr;
    FormActivate();
}

void TfrmLok::cboRichtingChange() {
    LocoRec* t = gCurLoc;
    if (filling_ || !t) return;
    const char heading = cboRichting->currentIndex() == 1 ? 'T' : 'H';
    if (heading == t->heading) return;
    t->heading = heading;
    BlockRec* b = t->run.head.block;
    if (!b) return;
    eraseTrain(t);
    if (placeTrainOnBlock(t, b, 0)) {
        t->run.head.block = b;
        drawTrain(t);
        t->contactRole = heading == 'H' ? 6 : 1;
    } else {
        b->arrivedTrain = b->assignedTrain = nullptr;
        t->run.head = PositionRec{};
        if (Tag == kPutting) gSelectedBlock = nullptr;
    }
    FormActivate();
}

void TfrmLok::tbarVersnellingChange() {
    LocoRec* t = gCurLoc;
    if (!t) return;
    t->acceleration = static_cast<uint8_t>(10 - tbarVersnelling->value());
    lblVersn->setText(QString::number(t->acceleration));
    t->stepDelay = static_cast<int16_t>(calcStepDelay(t, t->acceleration));
    netQueueRecord(30, 2, 27, t->number, t->slot, t->acceleration);
    netQueueRecord(40, 2, 27, t->number, t->slot, t->acceleration);
}

void TfrmLok::grpStuurMouseDown(Qt::MouseButton button, int x, int y) {
    LocoRec* t = drivenLoco();
    if (!t || (button != Qt::LeftButton && button != Qt::RightButton)) return;
    if (dragLocoSpeedBar(*t, rowOf(t), tbarSnelheid, x, y)) {
        setFocus();
        drawControlHighlight(tbarSnelheid, 1);
        showSpeed(t);
    }
}

void TfrmLok::grpStuurMouseMove(Qt::MouseButtons buttons, int x, int y) {
    if (buttons & Qt::LeftButton) grpStuurMouseDown(Qt::LeftButton, x, y);
    else if (buttons & Qt::RightButton) grpStuurMouseDown(Qt::RightButton, x, y);
}

namespace {
void postButton(TfrmLok* form, QWidget* control, int code) {
    LocoRec* t = form->drivenLoco();
    if (!t) return;
    drawControlHighlight(form->tbarSnelheid, 1);
    (void)control;
    controlPostCommand(code, gLocsOnTrack.indexOf(t));
    if (LocoRec* still = form->drivenLoco()) form->showDrivingValues(still);
}
}  // namespace

void TfrmLok::btnLok0Click() { postButton(this, btnLok0, 301); }
void TfrmLok::btnMode0Click() { postButton(this, btnMode0, 302); }
void TfrmLok::btnRich0Click() { postButton(this, btnRich0, 303); }

void TfrmLok::lblPauzetelDblClick() {
    LocoRec* t = drivenLoco();
    if (!t || (t->mode != kModeAuto && t->mode != kModeRoute) || t->speedValue != 0) return;
    edtPauzetel->setText(lblPauzetel->text());
    edtPauzetel->show();
    edtPauzetel->setFocus();
    annulerenCancels = false;
}

void TfrmLok::edtPauzetelKeyDown(int key) {
    if (key != Qt::Key_Escape && key != Qt::Key_Return && key != Qt::Key_Enter) return;
    LocoRec* t = drivenLoco();
    if (key != Qt::Key_Escape && t && (t->mode == kModeAuto || t->mode == kModeRoute) && t->speedValue == 0 &&
        t->run.head.block) {
        const int wait = parseNumber(edtPauzetel->text().toStdString());
        if (wait >= 0 && wait <= 3600) {
            t->run.head.block->remainingWait = wait;
            showWait(wait);
            showLocoWaitTime(rowOf(t));
        }
    }
    edtPauzetelExit();
}

void TfrmLok::edtPauzetelExit() {
    edtPauzetel->hide();
    annulerenCancels = true;
}

void TfrmLok::lblKmTellerDagDblClick() {
    LocoRec* t = drivenLoco();
    if (!t) return;
    edtKmTellerDag->setText(QString::asprintf("%0.2f", t->run.kmDay));
    edtKmTellerDag->show();
    edtKmTellerDag->setFocus();
}

void TfrmLok::edtKmTellerDagKeyDown(int key) {
    if (key != Qt::Key_Escape && key != Qt::Key_Return && key != Qt::Key_Enter) return;
    LocoRec* t = drivenLoco();
    edtKmTellerDag->hide();
    if (key == Qt::Key_Escape || !t) return;
    t->run.kmDay = static_cast<float>(typedValue(edtKmTellerDag));
    refreshLocoKmCounters(t);
}

void TfrmLok::edtKmTellerDagExit() { edtKmTellerDag->hide(); }

void TfrmLok::chboVersnellingClick() {
    LocoRec* t = gCurLoc;
    if (!t) return;
    if (chboVersnelling->isChecked()) t->flags |= kLocoSendTarget;
    else t->flags &= static_cast<uint8_t>(~kLocoSendTarget);
}

void TfrmLok::pnlSnelhcorrautoClick() {
    if (LocoRec* t = drivenLoco()) {
        drawControlHighlight(tbarSnelheid, 1);
        toggleLocoAsc(t);
        showAscPanel(t);
    }
}

void TfrmLok::pnlForceRijdenClick() {
    if (LocoRec* t = drivenLoco()) {
        drawControlHighlight(tbarSnelheid, 1);
        toggleLocoForce(t);
        showForcePanel(t);
    }
}

void TfrmLok::pnlF0Click(QLabel* p) {
    LocoRec* t = drivenLoco();
    if (!t || !p) return;
    drawControlHighlight(tbarSnelheid, 1);
    const int n = parseNumber(p->text().mid(1).toStdString());
    setLocoFunction(t, n, p->frameShadow() == QFrame::Raised ? 1 : 0);
}

void TfrmLok::edtStartpauzetijdChange() {
    LocoRec* t = gCurLoc;
    const QString text = edtStartpauzetijd->text();
    if (!t || text.isEmpty() || !text[0].isDigit()) return;
    const int seconds = text[0].digitValue() & 7;
    t->run.runFlagsA = static_cast<uint8_t>((t->run.runFlagsA & 0x1F) | (seconds << 5));
    filling_ = true;
    edtStartpauzetijd->setText(QString::number(seconds));
    filling_ = false;
    const int running = (t->run.runFlagsA & 0x10) ? 8 : 0;
    netQueueRecord(30, 2, 36, t->number, t->slot, seconds | running);
    netQueueRecord(40, 2, 36, t->number, t->slot, seconds);
}

void TfrmLok::btnTrajectClick() {
    LocoRec* t = drivenLoco();
    if (!t || !frmTraject) return;
    gEditMode = kRouteEditMode;
    gRouteDialogLoco = t;
    frmTraject->show();
    frmTraject->raise();
}

void TfrmLok::btnFunctieDecClick() {
    LocoRec* t = gCurLoc;
    if (!t || !frmFunctieDec) return;
    const int count = gFunctionDecoders.count();
    int first = -1;
    for (int i = 0; i < count && first < 0; ++i)
        if (gFunctionDecoders[i]->loco == t) first = i;
    if (first < 0) return;
    int pick = first;
    if (frmFunctieDec->isVisible() && gCurFunctionDecoder && gCurFunctionDecoder->loco == t) {
        const int at = gFunctionDecoders.indexOf(gCurFunctionDecoder);
        for (int k = 1; k <= count; ++k) {
            const int i = (at + k) % count;
            if (gFunctionDecoders[i]->loco == t) {
                pick = i;
                break;
            }
        }
    }
    gCurFunctionDecoder = gFunctionDecoders[pick];
    QPoint at(x(), y() + frameGeometry().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - frmFunctieDec->width())));
        at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - frmFunctieDec->height())));
    }
    frmFunctieDec->move(at);
    frmFunctieDec->show();
    frmFunctieDec->raise();
}

void TfrmLok::btnHelpClick() { showHelpTopic(Tag == kDriving ? 17 : 15); }

bool TfrmLok::FormKeyDown(QKeyEvent* key) {
    if (key->key() == Qt::Key_Space) {
        QWidget* f = focusWidget();
        if (f == edtPauzetel || f == edtKmTellerDag) return false;
        if (gEmergencyState == 0 && sessionRunning()) emergencyStopAll(1);
        return true;
    }
    LocoRec* t = drivenLoco();
    if (!t) return false;
    const int row = rowOf(t);
    if (key->modifiers() & Qt::ControlModifier) gShiftState |= 0x04;
    int code = 0;
    switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down: {
            QWidget* f = focusWidget();
            if (f && f != this && f != edtStartpauzetijd) return false;
            code = key->key() == Qt::Key_Up ? 38 : 40;
            gShiftState |= 0x04;
            break;
        }
        case Qt::Key_L: code = 'l'; break;
        case Qt::Key_M: code = 'm'; break;
        case Qt::Key_R: code = 'r'; break;
        default: return false;
    }
    gPendingKey = static_cast<uint8_t>(code);
    controlPostCommand(0, row);
    gPendingKey = 0;
    if (LocoRec* still = drivenLoco()) showDrivingValues(still);
    return true;
}

void TfrmLok::FormKeyUp() { gShiftState &= 1; }

void TfrmLok::keyPressEvent(QKeyEvent* event) {
    if (FormKeyDown(event)) return;
    if (event->key() == Qt::Key_Escape) {
        if (annulerenCancels && btnAnnuleren->isEnabled()) btnAnnuleren->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmLok::keyReleaseEvent(QKeyEvent* event) {
    FormKeyUp();
    QDialog::keyReleaseEvent(event);
}

bool TfrmLok::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            if (watched == edtPauzetel) edtPauzetelKeyDown(key->key());
            if (watched == edtKmTellerDag) edtKmTellerDagKeyDown(key->key());
            if (watched == edtPauzetel || watched == edtKmTellerDag) {
                if (key->key() == Qt::Key_Escape || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
                    return true;
                break;
            }
            if (watched != this && FormKeyDown(key)) return true;
            if (watched != this && key->key() == Qt::Key_Escape) {
                keyPressEvent(key);
                return true;
            }
            break;
        }
        case QEvent::KeyRelease:
            if (watched != this) FormKeyUp();
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (watched == grpStuur) {
                const QPoint p = mouse->position().toPoint();
                if (event->type() == QEvent::MouseButtonPress) grpStuurMouseDown(mouse->button(), p.x(), p.y());
                else grpStuurMouseMove(mouse->buttons(), p.x(), p.y());
                return true;
            }
            if (event->type() == QEvent::MouseButtonPress) {
                if (watched == pnlSnelhcorrauto) pnlSnelhcorrautoClick();
                else if (watched == pnlForceRijden) pnlForceRijdenClick();
                for (QLabel* p : pnlF)
                    if (watched == p) pnlF0Click(p);
            }
            break;
        }
        case QEvent::MouseButtonDblClick:
            if (watched == lblPauzetel) lblPauzetelDblClick();
            else if (watched == lblKmTellerDag) lblKmTellerDagDblClick();
            break;
        case QEvent::FocusIn:
            // The speed bar's frame goes when the keys move to another control.
            if (watched == cboLocNummer || watched == tbarVersnelling || watched == btnAnnuleren ||
                watched == edtPauzetel || watched == edtKmTellerDag || watched == edtStartpauzetijd ||
                watched == btnTraject || watched == btnFunctieDec || watched == btnHelp)
                drawControlHighlight(tbarSnelheid, 0);
            break;
        default: break;
    }
    return QDialog::eventFilter(watched, event);
}

void showLocoPanelFunction(LocoRec* loco, int n) {
    if (!frmLok || !loco || n < 0 || n >= kLokFunctionPanels || frmLok->drivenLoco() != loco) return;
    lowerPanel(frmLok->pnlF[n], isFunctionOn(locoFunctionWord(*loco), n) != 0, vestrel::clYellow);
}

void refreshFunctionPanels(LocoRec* loco) {
    if (!loco) return;
    for (int n = 0; n <= lastFunction(*loco); ++n) showLocoPanelFunction(loco, n);
}

void showAscPanel(LocoRec* loco) {
    if (!frmLok || !loco || frmLok->drivenLoco() != loco) return;
    lowerPanel(frmLok->pnlSnelhcorrauto, loco->flags & kLocoAutoCorrection, kAscColour);
}

void showForcePanel(LocoRec* loco) {
    if (!frmLok || !loco || frmLok->drivenLoco() != loco) return;
    lowerPanel(frmLok->pnlForceRijden, loco->flags & kLocoForce, vestrel::clRed);
}
