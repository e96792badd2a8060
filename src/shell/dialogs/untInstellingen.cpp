#include "shell/dialogs/untInstellingen.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHostInfo>
#include <QKeyEvent>
#include <QShowEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>
#include <initializer_list>

#include "layout/draw/element_draw.h"
#include "layout/frame/render.h"
#include "layout/model/layout_model.h"
#include "layout/model/scale.h"
#include "link/dialogs/untComVrij.h"
#include "link/port/link_port.h"
#include "network/model/net_config_file.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "network/socket/net_mode.h"
#include "network/socket/net_sockets.h"
#include "operation/control/emergency_stop.h"
#include "operation/model/length_units.h"
#include "platform/text_codec.h"
#include "shell/config/config_file.h"
#include "shell/config/help.h"
#include "shell/config/messages.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/main/main_cycle.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"
#include "shell/window/form_setup.h"
#include "shell/window/untSchema.h"

TfrmInstellingen* frmInstellingen = nullptr;

namespace {

constexpr int kBackgroundNameMax = 25;  // what vestrel.cfg keeps of the name
constexpr int kLptIndex1 = 1;
constexpr int kLptIndex2 = 2;
constexpr int kFirstComIndex = 3;

template <class W>
W* named(W* w, const char* name) {
    w->setObjectName(name);
    return w;
}

QCheckBox* check(QWidget* parent, const char* name, const char* caption) {
    return named(new QCheckBox(vestrel::fromCp1252(caption), parent), name);
}

QLineEdit* edit(QWidget* parent, const char* name, int maxLength) {
    auto* e = named(new QLineEdit(parent), name);
    e->setMaxLength(maxLength);
    return e;
}

QComboBox* combo(QWidget* parent, const char* name, std::initializer_list<const char*> items) {
    auto* c = named(new QComboBox(parent), name);
    for (const char* item : items) c->addItem(vestrel::fromCp1252(item));
    return c;
}

QHBoxLayout* row(QVBoxLayout* column, std::initializer_list<QWidget*> widgets) {
    auto* r = new QHBoxLayout;
    for (QWidget* w : widgets) r->addWidget(w);
    r->addStretch();
    column->addLayout(r);
    return r;
}

QLabel* label(QWidget* parent, const char* caption) { return new QLabel(vestrel::fromCp1252(caption), parent); }

// The item whose number equals the value, searched from the last item down; -1 for none.
int itemOfNumber(const QComboBox* box, int value) {
    for (int i = box->count() - 1; i >= 0; --i)
        if (box->itemText(i).toInt() == value) return i;
    return -1;
}

// A value the list does not hold shows no item, and OK then keeps the value.
void setIndex(QComboBox* box, int index) { box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1); }

char chosen(const QComboBox* box, char first, char kept) {
    return box->currentIndex() >= 0 ? static_cast<char>(first + box->currentIndex()) : kept;
}

int number(const QLineEdit* e) { return e->text().trimmed().toInt(); }

void setNumber(QLineEdit* e, int v) { e->setText(QString::number(v)); }

void showAll(std::initializer_list<QWidget*> widgets, bool visible) {
    for (QWidget* w : widgets) w->setVisible(visible);
}

void enableAll(std::initializer_list<QWidget*> widgets, bool enabled) {
    for (QWidget* w : widgets) w->setEnabled(enabled);
}

uint8_t checked(const QCheckBox* c) { return c->isChecked() ? 1 : 0; }

}  // namespace

int clampTimeBase(int v) { return std::clamp(v, 1, 60); }
int clampShortTrain(int v) { return std::clamp(v, 0, 300); }
int clampOrangeSpeed(int v) { return v == 0 ? 0 : std::clamp(v, 30, 70); }
int clampBackgroundZoom(int v) { return std::clamp(v, 10, 500); }

TfrmInstellingen::TfrmInstellingen(QWidget* parent) : QDialog(parent) {
    setupForm(this, "frmInstellingen", "Instellingen", 520, 560);
    build();
}

void TfrmInstellingen::build() {
    auto* outer = new QVBoxLayout(this);
    pctInstellingen = named(new QTabWidget(this), "pctInstellingen");
    tshAlgemeen = named(new QWidget, "tshAlgemeen");
    tshReeleMode = named(new QWidget, "tshReeleMode");
    tshNet = named(new QWidget, "tshNet");
    pctInstellingen->addTab(tshAlgemeen, "Algemeen");
    pctInstellingen->addTab(tshReeleMode, "Online");
    pctInstellingen->addTab(tshNet, "Net");
    outer->addWidget(pctInstellingen);
    buildAlgemeen();
    buildReeleMode();
    buildNet();
    btnOK = named(new QPushButton("OK", this), "btnOK");
    btnAnnuleren = named(new QPushButton("Annuleren", this), "btnAnnuleren");
    btnHelp = named(new QPushButton("Help", this), "btnHelp");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnOK);
    buttons->addWidget(btnAnnuleren);
    buttons->addWidget(btnHelp);
    outer->addLayout(buttons);
    connect(btnOK, &QPushButton::clicked, this, [this] { btnOKClick(); });
    connect(btnAnnuleren, &QPushButton::clicked, this, [this] { btnAnnulerenClick(); });
    connect(btnHelp, &QPushButton::clicked, this, [this] { btnHelpClick(); });
}

void TfrmInstellingen::buildAlgemeen() {
    QWidget* p = tshAlgemeen;
    auto* col = new QVBoxLayout(p);
    cboSchaal = named(new QComboBox(p), "cboSchaal");
    for (const char* item : kScaleItems) cboSchaal->addItem(item);
    row(col, {label(p, "Modelspoorschaal"), cboSchaal});
    cboZoom = named(new QComboBox(p), "cboZoom");
    for (const char* item : kZoomItems) cboZoom->addItem(item);
    row(col, {label(p, "Zoomfactor"), cboZoom});
    chboVarWissel = check(p, "chboVarWissel", "variabele wisselafmeting");
    chboVisuNummer = check(p, "chboVisuNummer", "nummers zichtbaar");
    chboVisuSectie = check(p, "chboVisuSectie", "secties zichtbaar");
    chboCyclus46ms = check(p, "chboCyclus46ms", "cyclustijd 46ms");
    row(col, {chboVarWissel});
    row(col, {chboVisuNummer, chboVisuSectie});
    row(col, {chboCyclus46ms});
    chboAchtergrondbeeld = check(p, "chboAchtergrondbeeld", "achtergrondbeeld ");
    btnBeeldGroep = named(new QPushButton(">>", p), "btnBeeldGroep");
    row(col, {chboAchtergrondbeeld, btnBeeldGroep});

    grpBeeld = named(new QGroupBox(p), "grpBeeld");
    auto* beeld = new QVBoxLayout(grpBeeld);
    edtBeeldNaam = edit(grpBeeld, "edtBeeldNaam", kBackgroundNameMax);
    edtBeeldNaam->setToolTip("dubbelklikken om map te openen");
    edtBeeldNaam->installEventFilter(this);
    row(beeld, {label(grpBeeld, "Naam"), edtBeeldNaam});
    edtBeeldX = edit(grpBeeld, "edtBeeldX", 3);
    edtBeeldY = edit(grpBeeld, "edtBeeldY", 3);
    row(beeld, {label(grpBeeld, "Positie X / Y"), edtBeeldX, edtBeeldY});
    edtBeeldZoom = edit(grpBeeld, "edtBeeldZoom", 3);
    row(beeld, {label(grpBeeld, "Zoomfactor (%)"), edtBeeldZoom});
    chboBeeldTransparant = check(grpBeeld, "chboBeeldTransparant", "transparant (kleur linkerbovenhoek)");
    chboBeeldVaag = check(grpBeeld, "chboBeeldVaag", "vervagen");
    row(beeld, {chboBeeldTransparant});
    row(beeld, {chboBeeldVaag});
    col->addWidget(grpBeeld);

    grpStuurpost = named(new QGroupBox("STUURPOST", p), "grpStuurpost");
    auto* post = new QVBoxLayout(grpStuurpost);
    cboOrientatie = combo(grpStuurpost, "cboOrientatie", {"0\xB0", "90\xB0", "180\xB0", "-90\xB0"});
    row(post, {label(grpStuurpost, "Orientatie"), cboOrientatie});
    mskedtTijdbasis = edit(grpStuurpost, "mskedtTijdbasis", 2);
    // Two digits at most, either may be left out.
    mskedtTijdbasis->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,2}"), mskedtTijdbasis));
    row(post, {label(grpStuurpost, "Tijdbasis"), mskedtTijdbasis});
    edtLengteKorte = edit(grpStuurpost, "edtLengteKorte", 3);
    row(post, {label(grpStuurpost, "Lengte korte trein"), edtLengteKorte});
    edtSnelhOranje = edit(grpStuurpost, "edtSnelhOranje", 2);
    row(post, {label(grpStuurpost, "Snelheid bij oranje licht"), edtSnelhOranje});
    chboVisuVerbinding = check(grpStuurpost, "chboVisuVerbinding", "verbindingen zichtbaar");
    row(post, {chboVisuVerbinding});
    col->addWidget(grpStuurpost);
    col->addStretch();

    connect(btnBeeldGroep, &QPushButton::clicked, this, [this] { btnBeeldGroepClick(); });
    connect(edtBeeldZoom, &QLineEdit::editingFinished, this, [this] { edtBeeldZoomExit(); });
    // Corrected while it is typed; a field emptied to type a new number waits until it is left.
    connect(mskedtTijdbasis, &QLineEdit::textEdited, this, [this](const QString& typed) {
        if (!typed.trimmed().isEmpty()) mskedtTijdbasisChange();
    });
    connect(mskedtTijdbasis, &QLineEdit::editingFinished, this, [this] { mskedtTijdbasisChange(); });
    connect(edtLengteKorte, &QLineEdit::editingFinished, this, [this] { edtLengteKorteExit(); });
    connect(edtSnelhOranje, &QLineEdit::editingFinished, this, [this] { edtSnelhOranjeExit(); });
}

void TfrmInstellingen::buildReeleMode() {
    QWidget* p = tshReeleMode;
    auto* col = new QVBoxLayout(p);
    chboDirectBooster = check(p, "chboDirectBooster", "direct naar booster zonder centrale");
    row(col, {chboDirectBooster});
    cboCompoort = combo(p, "cboCompoort", {"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "COM9"});
    btnCompoort = named(new QPushButton("COM-poort", p), "btnCompoort");
    cboCompoortb =
        combo(p, "cboCompoortb", {"geen", "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "COM9"});
    btnCompoortb = named(new QPushButton("2de", p), "btnCompoortb");
    row(col, {btnCompoort, cboCompoort, btnCompoortb, cboCompoortb});
    radbtnP50_P50X = named(new QRadioButton("P50 (6050) + P50x (extended IB)", p), "radbtnP50_P50X");
    radbtnP50X = named(new QRadioButton("P50x (extended IB)", p), "radbtnP50X");
    row(col, {radbtnP50_P50X});
    row(col, {radbtnP50X});
    lblBaudrate = named(label(p, "Baudrate"), "lblBaudrate");
    cboBaudrate = combo(p, "cboBaudrate", {"2400", "4800", "9600", "19200"});
    lblStopbits = named(label(p, "2 stopbits"), "lblStopbits");
    chboCTS = check(p, "chboCTS", "CTS");
    row(col, {lblBaudrate, cboBaudrate, lblStopbits, chboCTS});
    cboS88poort = combo(p, "cboS88poort",
                        {"geen", "LPT1", "LPT2", "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "COM9"});
    btnS88poort = named(new QPushButton("COM-poort", p), "btnS88poort");
    row(col, {label(p, "Poort S88-modules"), cboS88poort, btnS88poort});
    edtLPTAdres = edit(p, "edtLPTAdres", 4);
    btnResetLPTAdres = named(new QPushButton("RESET", p), "btnResetLPTAdres");
    lblS88Baudrate = named(label(p, "baudrate"), "lblS88Baudrate");
    cboS88Baudrate = combo(p, "cboS88Baudrate", {"38400", "57600", "115200"});
    row(col, {edtLPTAdres, btnResetLPTAdres, lblS88Baudrate, cboS88Baudrate});
    chboKortsluitbeveiliging = check(p, "chboKortsluitbeveiliging", "Kortsluitbeveiliging");
    chboPosV = check(p, "chboPosV", "+V");
    row(col, {chboKortsluitbeveiliging, chboPosV});
    chboMolaTussentijd = check(p, "chboMolaTussentijd", "Tussentijd MM +0,25ms");
    chboMolaWisselSein115200 = check(p, "chboMolaWisselSein115200", "115200 baud voor MM wissel/sein ");
    chboMolaLoc7bit = check(p, "chboMolaLoc7bit", "7 bits voor MM locomotieven");
    chboDCC19200 = check(p, "chboDCC19200", "19200 baud voor DCC");
    chboWSDecTussentijd = check(p, "chboWSDecTussentijd", "Tussentijd wissel/seindecoders");
    chboMMWisselSeinCont = check(p, "chboMMWisselSeinCont", "MM wissel/sein continu");
    for (QCheckBox* c : {chboMolaTussentijd, chboMolaWisselSein115200, chboMolaLoc7bit, chboDCC19200,
                         chboWSDecTussentijd, chboMMWisselSeinCont})
        row(col, {c});
    chboWagondetectie = check(p, "chboWagondetectie", "wagondetectie");
    chboPositiecontrole = check(p, "chboPositiecontrole", "positiecontrole");
    chboVerkeerdeWeg = check(p, "chboVerkeerdeWeg", "verkeerde weg");
    chboVisuTerugmeld = check(p, "chboVisuTerugmeld", "terugmeldingen blokken zichtbaar");
    row(col, {chboWagondetectie, chboPositiecontrole, chboVerkeerdeWeg});
    row(col, {chboVisuTerugmeld});
    col->addStretch();

    connect(chboDirectBooster, &QCheckBox::clicked, this, [this] { chboDirectBoosterClick(); });
    for (QPushButton* b : {btnCompoort, btnCompoortb, btnS88poort})
        connect(b, &QPushButton::clicked, this, [this] { btnCompoortClick(); });
    connect(chboKortsluitbeveiliging, &QCheckBox::clicked, this, [this] { chboKortsluitbeveiligingClick(); });
    connect(cboS88poort, &QComboBox::activated, this, [this] { cboS88poortClick(true); });
    connect(btnResetLPTAdres, &QPushButton::clicked, this, [this] { btnResetLPTAdresClick(); });
}

void TfrmInstellingen::buildNet() {
    QWidget* p = tshNet;
    auto* col = new QVBoxLayout(p);
    rbtnStandalone = named(new QRadioButton("Standalone", p), "rbtnStandalone");
    rbtnServer = named(new QRadioButton("Server", p), "rbtnServer");
    rbtnKlient = named(new QRadioButton("Client", p), "rbtnKlient");
    row(col, {rbtnStandalone, rbtnServer, rbtnKlient});
    grpServer = named(new QGroupBox("SERVER", p), "grpServer");
    auto* server = new QVBoxLayout(grpServer);
    edtPCNaam = edit(grpServer, "edtPCNaam", kNetConfigTextMax);
    edtPCAdres = edit(grpServer, "edtPCAdres", kNetConfigTextMax);
    edtPCAdres->setInputMask("000.000.000.000");
    edtPCNaam->installEventFilter(this);
    edtPCAdres->installEventFilter(this);
    row(server, {label(grpServer, "PC naam"), edtPCNaam});
    row(server, {label(grpServer, "IP-adres"), edtPCAdres});
    btnActiveerSocket = named(new QPushButton("Activeer verbinding met server", grpServer), "btnActiveerSocket");
    row(server, {btnActiveerSocket});
    col->addWidget(grpServer);
    lblServerNaam = named(new QLabel(p), "lblServerNaam");
    row(col, {lblServerNaam});
    col->addStretch();
    connect(rbtnStandalone, &QRadioButton::clicked, this, [this] { rbtnStandaloneClick(); });
    connect(rbtnServer, &QRadioButton::clicked, this, [this] { rbtnServerClick(); });
    connect(rbtnKlient, &QRadioButton::clicked, this, [this] { rbtnKlientClick(); });
    connect(btnActiveerSocket, &QPushButton::clicked, this, [this] { btnActiveerSocketClick(); });
}

void TfrmInstellingen::FormShow(bool withSender) {
    const bool free = gDemoStep == 0;
    enableAll({pctInstellingen, btnOK, btnAnnuleren}, free);
    const Settings& s = gSettings;
    setIndex(cboCompoort, s.cboCompoort - '1');
    setIndex(cboCompoortb, s.cboCompoortb - '0');
    setIndex(cboS88poort, s.cboS88poort - '0');
    setIndex(cboSchaal, gScaleDigit - '1');
    setIndex(cboZoom, gZoomDigit - '1');
    setIndex(cboOrientatie, gOrientation);
    setIndex(cboBaudrate, itemOfNumber(cboBaudrate, s.cboBaudrate));
    setIndex(cboS88Baudrate, itemOfNumber(cboS88Baudrate, s.cboS88Baudrate));
    char hex[16];
    std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(static_cast<uint16_t>(s.edtLPTAdres)));
    edtLPTAdres->setText(hex);
    setNumber(mskedtTijdbasis, gTimeBase);
    chboKortsluitbeveiliging->setChecked(s.chboKortsluitbeveiliging == 1 || s.chboKortsluitbeveiliging == 2);
    chboPosV->setChecked(s.chboKortsluitbeveiliging == 2);
    (s.radbtnP50X ? radbtnP50X : radbtnP50_P50X)->setChecked(true);
    chboVarWissel->setChecked(gTurnoutSizeMode != 0);
    const std::pair<QCheckBox*, uint8_t> boxes[] = {
        {chboVisuNummer, s.chboVisuNummer},         {chboVisuSectie, s.chboVisuSectie},
        {chboCyclus46ms, s.chboCyclus46ms},         {chboAchtergrondbeeld, s.chboAchtergrondbeeld},
        {chboBeeldTransparant, s.chboBeeldTransparant}, {chboBeeldVaag, s.chboBeeldVaag},
        {chboVisuVerbinding, s.chboVisuVerbinding}, {chboDirectBooster, s.chboDirectBooster},
        {chboCTS, s.chboCTS},                       {chboMolaTussentijd, s.chboMolaTussentijd},
        {chboMolaWisselSein115200, s.chboMolaWisselSein115200}, {chboMolaLoc7bit, s.chboMolaLoc7bit},
        {chboDCC19200, s.chboDCC19200},             {chboWSDecTussentijd, s.chboWSDecTussentijd},
        {chboMMWisselSeinCont, s.chboMMWisselSeinCont}, {chboWagondetectie, s.chboWagondetectie},
        {chboPositiecontrole, s.chboPositiecontrole}, {chboVerkeerdeWeg, s.chboVerkeerdeWeg},
        {chboVisuTerugmeld, s.chboVisuTerugmeld}};
    for (const auto& [box, value] : boxes) box->setChecked(value != 0);
    edtBeeldNaam->setText(vestrel::fromCp1252(gBackgroundFileName));
    setNumber(edtBeeldX, s.edtBeeldX);
    setNumber(edtBeeldY, s.edtBeeldY);
    setNumber(edtBeeldZoom, s.edtBeeldZoom);
    setNumber(edtLengteKorte, s.edtLengteKorte);
    setNumber(edtSnelhOranje, s.edtSnelhOranje);
    if (withSender) {
        (gNetMode == 30 ? rbtnServer : gNetMode == 40 ? rbtnKlient : rbtnStandalone)->setChecked(true);
        loadNetConfig();
    }
    grpBeeld->hide();
}

void TfrmInstellingen::FormActivate() {
    const bool client = gNetMode == 40;
    enableAll({cboSchaal, chboVarWissel, cboZoom, chboCyclus46ms}, !sessionRunning() && !client);
    enableAll({chboDirectBooster, cboCompoort, btnCompoort, cboCompoortb, btnCompoortb, cboBaudrate, cboS88poort,
                btnS88poort, cboS88Baudrate, edtLPTAdres, btnResetLPTAdres},
               !gRunWithTrack && !client);
    const bool direct = chboDirectBooster->isChecked();
    showAll({cboCompoortb, btnCompoortb, chboMolaTussentijd, chboMolaWisselSein115200, chboMolaLoc7bit,
                chboDCC19200, chboWSDecTussentijd, chboMMWisselSeinCont, chboKortsluitbeveiliging},
               direct);
    showAll({chboCTS, radbtnP50_P50X, radbtnP50X, cboBaudrate, lblBaudrate, lblStopbits}, !direct);
    if (direct)
        cboS88poortClick(false);
    else
        showAll({edtLPTAdres, btnResetLPTAdres, cboS88Baudrate, lblS88Baudrate}, false);
    chboPosV->setVisible(!chboKortsluitbeveiliging->isHidden() && chboKortsluitbeveiliging->isChecked());
    enableAll({mskedtTijdbasis, edtLengteKorte, edtSnelhOranje, chboWagondetectie, chboPositiecontrole,
                chboVerkeerdeWeg, chboCTS, radbtnP50_P50X, radbtnP50X, chboWSDecTussentijd, chboMMWisselSeinCont,
                chboKortsluitbeveiliging, chboPosV, chboMolaTussentijd, chboMolaWisselSein115200, chboMolaLoc7bit,
                chboDCC19200},
               !client);
    rbtnKlient->setEnabled(!sessionRunning() || client);
    if (rbtnServer->isChecked())
        rbtnServerClick();
    else if (rbtnKlient->isChecked())
        rbtnKlientClick();
    else
        rbtnStandaloneClick();
    btnBeeldGroep->setText(grpBeeld->isHidden() ? ">>" : "X");
}

void TfrmInstellingen::mskedtTijdbasisChange() {
    const QString corrected = QString::number(clampTimeBase(number(mskedtTijdbasis)));
    if (mskedtTijdbasis->text() != corrected) mskedtTijdbasis->setText(corrected);
}
void TfrmInstellingen::edtLengteKorteExit() { setNumber(edtLengteKorte, clampShortTrain(number(edtLengteKorte))); }
void TfrmInstellingen::edtSnelhOranjeExit() { setNumber(edtSnelhOranje, clampOrangeSpeed(number(edtSnelhOranje))); }
void TfrmInstellingen::edtBeeldZoomExit() { setNumber(edtBeeldZoom, clampBackgroundZoom(number(edtBeeldZoom))); }

void TfrmInstellingen::cboS88poortClick(bool userPick) {
    const int port = cboS88poort->currentIndex();
    const bool lpt = port == kLptIndex1 || port == kLptIndex2;
    showAll({edtLPTAdres, btnResetLPTAdres}, lpt);
    // The usual address of the other parallel port follows the choice; an address of its own stays.
    if (userPick && port == kLptIndex1 && edtLPTAdres->text() == "278") edtLPTAdres->setText("378");
    if (userPick && port == kLptIndex2 && edtLPTAdres->text() == "378") edtLPTAdres->setText("278");
    showAll({cboS88Baudrate, lblS88Baudrate}, port >= kFirstComIndex);
}

void TfrmInstellingen::btnResetLPTAdresClick() {
    edtLPTAdres->setText(cboS88poort->currentIndex() == kLptIndex2 ? "278" : "378");
}

void TfrmInstellingen::edtBeeldNaamDblClick() {
    const QString chosen = QFileDialog::getOpenFileName(this, QString(), QDir::currentPath(), "*.bmp");
    if (chosen.isEmpty()) return;
    const std::string name = vestrel::toCp1252(QDir::current().relativeFilePath(chosen));
    if (!name.empty() && static_cast<int>(name.size()) <= edtBeeldNaam->maxLength()) {
        edtBeeldNaam->setText(vestrel::fromCp1252(name));
        return;
    }
    char text[64];
    std::snprintf(text, sizeof text, "Max. naamlengte = %d", edtBeeldNaam->maxLength());
    showDialogMessage(text, 1);
}

void TfrmInstellingen::btnBeeldGroepClick() {
    grpBeeld->setVisible(grpBeeld->isHidden());
    btnBeeldGroep->setText(grpBeeld->isHidden() ? ">>" : "X");
}

void TfrmInstellingen::btnCompoortClick() {
    if (frmComVrij) frmComVrij->exec();
}

void TfrmInstellingen::chboKortsluitbeveiligingClick() { chboPosV->setVisible(chboKortsluitbeveiliging->isChecked()); }

void TfrmInstellingen::rbtnStandaloneClick() { showAll({grpServer, lblServerNaam}, false); }

void TfrmInstellingen::rbtnServerClick() {
    grpServer->hide();
    const QString host = QHostInfo::localHostName();
    lblServerNaam->setText(host.isEmpty() ? QString("?") : host);
    lblServerNaam->show();
}

void TfrmInstellingen::rbtnKlientClick() {
    grpServer->show();
    lblServerNaam->hide();
}

std::string TfrmInstellingen::serverAddress() const {
    const std::string typed = vestrel::toCp1252(edtPCAdres->text());
    return typed.find_first_of("0123456789") == std::string::npos ? std::string() : typed;
}

// The server is named either way, never both.
void TfrmInstellingen::edtPCNaamKeyDown() { edtPCAdres->clear(); }
void TfrmInstellingen::edtPCAdresKeyDown() { edtPCNaam->clear(); }

void TfrmInstellingen::btnActiveerSocketClick() {
    netCloseClient();
    setNetworkMode(40);
    FormActivate();
}

void TfrmInstellingen::btnHelpClick() { showHelpTopic(22); }

void TfrmInstellingen::btnOKClick() {
    close();
    Settings& s = gSettings;
    // 1. Running options, ports and protocol.
    s.chboWagondetectie = checked(chboWagondetectie);
    s.chboPositiecontrole = checked(chboPositiecontrole);
    s.chboVerkeerdeWeg = checked(chboVerkeerdeWeg);
    s.chboDirectBooster = checked(chboDirectBooster);
    s.cboCompoort = chosen(cboCompoort, '1', s.cboCompoort);
    s.cboCompoortb = chosen(cboCompoortb, '0', s.cboCompoortb);
    s.chboCTS = checked(chboCTS);
    s.radbtnP50X = radbtnP50X->isChecked() ? 1 : 0;
    s.chboWSDecTussentijd = checked(chboWSDecTussentijd);
    s.chboMMWisselSeinCont = checked(chboMMWisselSeinCont);
    s.chboKortsluitbeveiliging = chboKortsluitbeveiliging->isChecked() ? (chboPosV->isChecked() ? 2 : 1) : 0;
    s.chboMolaTussentijd = checked(chboMolaTussentijd);
    s.chboMolaWisselSein115200 = checked(chboMolaWisselSein115200);
    // 2. The track signal's format follows at once during a session with track control.
    if (s.chboMolaLoc7bit != checked(chboMolaLoc7bit) || s.chboDCC19200 != checked(chboDCC19200)) {
        s.chboMolaLoc7bit = checked(chboMolaLoc7bit);
        s.chboDCC19200 = checked(chboDCC19200);
        if (gRunWithTrack) selectTrackFormat(0, 0, 1);
    }
    // 3. Baud rates and the feedback port; an address that is not hexadecimal keeps the old one.
    if (cboBaudrate->currentIndex() >= 0) s.cboBaudrate = static_cast<int16_t>(cboBaudrate->currentText().toInt());
    s.cboS88poort = chosen(cboS88poort, '0', s.cboS88poort);
    bool hexOk = false;
    const uint32_t address = edtLPTAdres->text().trimmed().toUInt(&hexOk, 16);
    if (hexOk) s.edtLPTAdres = static_cast<int16_t>(address);
    if (cboS88Baudrate->currentIndex() >= 0) s.cboS88Baudrate = cboS88Baudrate->currentText().toInt();
    // 4.
    if (s.chboVisuTerugmeld != checked(chboVisuTerugmeld)) {
        s.chboVisuTerugmeld = checked(chboVisuTerugmeld);
        applyFeedbackVisualisation(1);
    }
    // 5.
    gTimeBase = static_cast<uint8_t>(clampTimeBase(number(mskedtTijdbasis)));
    // 6. The background is read from its file on every redraw, so new values show with step 9's redraw.
    const std::string backgroundName = vestrel::toCp1252(edtBeeldNaam->text());
    const auto beeldX = static_cast<int16_t>(number(edtBeeldX));
    const auto beeldY = static_cast<int16_t>(number(edtBeeldY));
    const auto beeldZoom = static_cast<int16_t>(clampBackgroundZoom(number(edtBeeldZoom)));
    const bool backgroundChanged = backgroundName != gBackgroundFileName || beeldX != s.edtBeeldX ||
                                   beeldY != s.edtBeeldY || beeldZoom != s.edtBeeldZoom ||
                                   checked(chboBeeldTransparant) != s.chboBeeldTransparant ||
                                   checked(chboBeeldVaag) != s.chboBeeldVaag;
    gBackgroundFileName = backgroundName;
    s.edtBeeldX = beeldX;
    s.edtBeeldY = beeldY;
    s.edtBeeldZoom = beeldZoom;
    s.chboBeeldTransparant = checked(chboBeeldTransparant);
    s.chboBeeldVaag = checked(chboBeeldVaag);
    // 7. Zoom, scale and turnout size.
    const char zoom = chosen(cboZoom, '1', gZoomDigit);
    const char scale = chosen(cboSchaal, '1', gScaleDigit);
    const uint8_t sizeMode = checked(chboVarWissel);
    // Locked controls (a session runs, or this is a client) keep the layout's scale whatever they show.
    const bool scaleFree = cboSchaal->isEnabled();
    if (scaleFree && (zoom != gZoomDigit || scale != gScaleDigit || sizeMode != gTurnoutSizeMode)) {
        bool keepLengths = false;
        if (scale != gScaleDigit || sizeMode != gTurnoutSizeMode)
            keepLengths = showDialogMessage("Wilt u de lengtes van de sporen in centimeter behouden ?", 2) == 1;
        rescaleLayout(zoom, scale, sizeMode, keepLengths);
    }
    // 8.
    s.edtLengteKorte = static_cast<int16_t>(clampShortTrain(number(edtLengteKorte)));
    gShortTrainUnits = static_cast<int16_t>(fromCentimetres(s.edtLengteKorte));
    s.edtSnelhOranje = static_cast<int16_t>(clampOrangeSpeed(number(edtSnelhOranje)));
    // 9. Orientation and what the diagram shows.
    const int orientation = chosen(cboOrientatie, 0, static_cast<char>(gOrientation));
    const bool displayChanged = backgroundChanged || checked(chboAchtergrondbeeld) != s.chboAchtergrondbeeld ||
                                checked(chboVisuNummer) != s.chboVisuNummer ||
                                checked(chboVisuSectie) != s.chboVisuSectie ||
                                checked(chboVisuVerbinding) != s.chboVisuVerbinding;
    if (orientation != gOrientation || displayChanged) {
        s.chboAchtergrondbeeld = checked(chboAchtergrondbeeld);
        s.chboVisuNummer = checked(chboVisuNummer);
        s.chboVisuSectie = checked(chboVisuSectie);
        s.chboVisuVerbinding = checked(chboVisuVerbinding);
        if (orientation != gOrientation) rotateLayout(orientation, 0);
        redrawSchema(1);
    }
    // 10. A new cycle time needs a newly learnt period.
    if (s.chboCyclus46ms != checked(chboCyclus46ms)) {
        s.chboCyclus46ms = checked(chboCyclus46ms);
        if (frmSchema) frmSchema->Timer1->setInterval(s.chboCyclus46ms ? 45 : 30);
        gTickPeriod = 0;
    }
    // 11.
    if (frmSchema)
        frmSchema->lblKortsluitbeveiliging->setVisible(!gRunWithoutTrack && s.chboDirectBooster &&
                                                       s.chboKortsluitbeveiliging == 0);
    // 12. Network mode and both files; a synchronised client takes the new settings over.
    setNetworkMode(rbtnServer->isChecked() ? 30 : rbtnKlient->isChecked() ? 40 : 0);
    saveNetConfig();
    syncConfigFile();
    if (gNetMode == 30 && gNetLinkState == 30) netQueueSettings();
}

void TfrmInstellingen::showOrRefresh() {
    if (isVisible()) {
        FormShow(true);
        FormActivate();
    }
    show();
    raise();
}

void TfrmInstellingen::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && isVisible()) FormActivate();
}

void TfrmInstellingen::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    FormShow(true);
    FormActivate();
}

void TfrmInstellingen::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && sessionRunning() && gEmergencyState == 0) {
        emergencyStopAll(1);
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        btnAnnuleren->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TfrmInstellingen::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick && watched == edtBeeldNaam) {
        edtBeeldNaamDblClick();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        if (watched == edtPCNaam) edtPCNaamKeyDown();
        if (watched == edtPCAdres) edtPCAdresKeyDown();
    }
    return QDialog::eventFilter(watched, event);
}

void applyFeedbackVisualisation(int flag) {
    for (BlockRec* b : gBlocks)
        if (b->occupiedSections != 0) drawBlock(*b, 0, 1);
    if (flag == 0 && frmBoodschap && frmBoodschap->isVisible()) frmBoodschap->close();
}
