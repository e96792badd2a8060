#include "link/dialogs/untProg.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include "layout/model/parse_number.h"
#include "link/buffers/link_buffers.h"
#include "link/port/decoder_programming.h"
#include "operation/control/emergency_stop.h"
#include "operation/model/train_model.h"
#include "shell/config/help.h"
#include "shell/config/messages.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"
#include "shell/window/form_setup.h"

TfrmProg* frmProg = nullptr;

namespace {

const char* const kMsgCvRange = "CV-nummer: 1-1024; CV-waarde: 0-255";
const char* const kMsgRegisterRange = "Registernummer: 1-255; registerwaarde: 0-255";
const char* const kMsgDecoderNeedsLoco =
    "Programmatie van een MM-functiedecoder kan slechts als er een loc op het spoor staat";
constexpr int kHelpTopic = 21;

int numberOf(const QString& text) { return parseNumber(text.toStdString()); }

// A whole number in the text (only digits, after white space), or -1.
int strictNumber(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 9) return -1;
    for (QChar c : t)
        if (!c.isDigit()) return -1;
    return t.toInt();
}

QLabel* label(QWidget* parent, const char* name, const char* text, int x, int y) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(x, y + 2, 90, 17);
    return l;
}

QLineEdit* edit(QWidget* parent, const char* name, int maxLength, int x, int y) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setMaxLength(maxLength);
    e->setGeometry(x, y, 12 + 9 * maxLength, 21);
    return e;
}

QPushButton* button(QWidget* parent, const char* name, const char* text, int x, int y, int w) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setGeometry(x, y, w, 25);
    b->setAutoDefault(false);
    return b;
}

bool motorolaChosen() {
    if (gProgFunctionDecoder) return gProgFunctionDecoder->protocol == 0;
    return gProgLoco && gProgLoco->run.head.block && gProgLoco->decoderType <= 2;
}

LocoRec* locoOnTrackNumbered(int number) {
    for (LocoRec* l : gLocsOnTrack)
        if (l->number == number) return l;
    return nullptr;
}

FunctionDecoderRec* decoderWithAddress(int address) {
    for (FunctionDecoderRec* d : gFunctionDecoders)
        if (d->address == address) return d;
    return nullptr;
}

// The address the DCC write on the main track goes to: the chosen decoder or locomotive, else the
// number typed in the address field.
int chosenAddress(const QComboBox* cbo) {
    if (gProgFunctionDecoder) return gProgFunctionDecoder->address;
    if (gProgLoco) return gProgLoco->number;
    return numberOf(cbo->currentText());
}

}  // namespace

TfrmProg::TfrmProg(QWidget* parent) : TFormDialog(parent) {
    setupForm(this, "frmProg", "Programmeren loc", 360, 260);
    lblNummer = label(this, "lblNummer", "Adres", 10, 10);
    cboNummer = new QComboBox(this);
    cboNummer->setObjectName("cboNummer");
    cboNummer->setEditable(true);
    cboNummer->lineEdit()->setMaxLength(4);
    cboNummer->setGeometry(100, 10, 80, 21);

    grpDCC = new QWidget(this);
    grpDCC->setObjectName("grpDCC");
    grpDCC->setGeometry(0, 40, 360, 150);
    lblCVNr = label(grpDCC, "lblCVNr", "CV-nummer", 10, 0);
    edtCVNr = edit(grpDCC, "edtCVNr", 4, 100, 0);
    lblCVWaarde = label(grpDCC, "lblCVWaarde", "CV-waarde", 10, 30);
    edtCVWaarde = edit(grpDCC, "edtCVWaarde", 3, 100, 30);
    btnSchrijvenAdres = button(grpDCC, "btnSchrijvenAdres", "Schrijven naar adres", 10, 65, 160);
    btnSchrijvenAlle = button(grpDCC, "btnSchrijvenAlle", "Schrijven alle op spoor", 180, 65, 170);

    grpMM = new QWidget(this);
    grpMM->setObjectName("grpMM");
    grpMM->setGeometry(0, 40, 360, 150);
    lblRegister = label(grpMM, "lblRegister", "Register", 10, 0);
    edtRegister = edit(grpMM, "edtRegister", 3, 100, 0);
    lblRegWaarde = label(grpMM, "lblRegWaarde", "Waarde", 10, 30);
    edtRegWaarde = edit(grpMM, "edtRegWaarde", 3, 100, 30);
    btnMMProgMode = button(grpMM, "btnMMProgMode", "zet in program mode", 10, 65, 160);
    btnMMSchrijven = button(grpMM, "btnMMSchrijven", "Schrijven", 180, 65, 170);
    btnMMAfsluiten = button(grpMM, "btnMMAfsluiten", "program mode afsluiten", 10, 100, 160);
    grpMM->hide();

    btnAfsluiten = button(this, "btnAfsluiten", "Afsluiten", 10, 220, 75);
    btnHelp = button(this, "btnHelp", "Help", 95, 220, 75);

    connect(cboNummer, &QComboBox::editTextChanged, this, [this] {
        if (!activating_) cboNummerChange();
    });
    connect(btnSchrijvenAdres, &QPushButton::clicked, this, &TfrmProg::btnSchrijvenAdresClick);
    connect(btnSchrijvenAlle, &QPushButton::clicked, this, &TfrmProg::btnSchrijvenAlleClick);
    connect(btnMMProgMode, &QPushButton::clicked, this, &TfrmProg::btnMMProgModeClick);
    connect(btnMMSchrijven, &QPushButton::clicked, this, &TfrmProg::btnMMSchrijvenClick);
    connect(btnMMAfsluiten, &QPushButton::clicked, this, &TfrmProg::btnMMAfsluitenClick);
    connect(btnAfsluiten, &QPushButton::clicked, this, &TfrmProg::btnAfsluitenClick);
    connect(btnHelp, &QPushButton::clicked, this, &TfrmProg::btnHelpClick);
    // The space bar of every control reaches FormKeyDown.
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
}

bool TfrmProg::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && isVisible()) FormActivate();
    return TFormDialog::event(e);
}

void TfrmProg::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous()) FormActivate();
}

void TfrmProg::closeEvent(QCloseEvent* e) {
    if (isVisible()) FormClose();
    QDialog::closeEvent(e);
}

void TfrmProg::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QDialog::keyPressEvent(e);
}

bool TfrmProg::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Space) {
        const bool stops = sessionRunning() && gEmergencyState == 0;
        FormKeyDown(32);
        if (stops) return true;
    }
    return QDialog::eventFilter(watched, e);
}

void TfrmProg::fillList() {
    cboNummer->clear();
    listsDecoders_ = gProgFunctionDecoder != nullptr;
    if (listsDecoders_) {
        setWindowTitle("Programmeren functiedecod.");
        for (const FunctionDecoderRec* d : gFunctionDecoders) cboNummer->addItem(QString::number(d->address));
    } else {
        setWindowTitle("Programmeren locomotief");
        for (const LocoRec* l : gLocsOnTrack) cboNummer->addItem(QString::number(l->number));
    }
    setEnabled(true);
    Tag = 3;
}

void TfrmProg::FormActivate() {
    activating_ = true;
    if (Tag == 0) fillList();
    int chosen = -1;
    if (listsDecoders_ && gProgFunctionDecoder) chosen = gProgFunctionDecoder->address;
    else if (!listsDecoders_ && gProgLoco) chosen = gProgLoco->number;
    const int index = chosen < 0 ? -1 : cboNummer->findText(QString::number(chosen));
    if (index >= 0) cboNummer->setCurrentIndex(index);
    const bool mm = motorolaChosen();
    grpMM->setVisible(mm);
    grpDCC->setVisible(!mm);
    activating_ = false;
}

void TfrmProg::cboNummerChange() {
    const int number = numberOf(cboNummer->currentText());
    if (listsDecoders_)
        gProgFunctionDecoder = decoderWithAddress(number);
    else
        gProgLoco = locoOnTrackNumbered(number);
    FormActivate();
}

void TfrmProg::btnSchrijvenAdresClick() {
    writeCvFromDialog(chosenAddress(cboNummer), 1, edtCVNr->text(), edtCVWaarde->text());
}

void TfrmProg::btnSchrijvenAlleClick() {
    writeCvFromDialog(chosenAddress(cboNummer), 2, edtCVNr->text(), edtCVWaarde->text());
}

void TfrmProg::btnMMProgModeClick() {
    if (gProgFunctionDecoder) {
        if (gLocsOnTrack.count() == 0) {
            showDialogMessage(kMsgDecoderNeedsLoco, 1);
            return;
        }
        gProgLoco = gLocsOnTrack[0];
    }
    gMmProgState = kMmEnterProgramMode;
}

void TfrmProg::btnMMSchrijvenClick() {
    const int reg = strictNumber(edtRegister->text());
    const int value = strictNumber(edtRegWaarde->text());
    if (reg < 1 || reg > 255 || value < 0 || value > 255) {
        showDialogMessage(kMsgRegisterRange, 1);
        return;
    }
    gMmRegister = reg;
    gMmRegisterValue = value;
    gMmProgState = kMmWriteRegister;
}

void TfrmProg::btnMMAfsluitenClick() { gMmProgState = kMmLeaveProgramMode; }

void TfrmProg::btnAfsluitenClick() { close(); }

void TfrmProg::FormClose() { Tag = 0; }

void TfrmProg::FormKeyDown(int key) {
    if (key == 32 && sessionRunning() && gEmergencyState == 0) emergencyStopAll(1);
}

void TfrmProg::btnHelpClick() { showHelpTopic(kHelpTopic); }

void writeCvFromDialog(int address, int mode, const QString& cvText, const QString& valueText) {
    if (!gRunWithTrack || !gSettings.chboDirectBooster) return;
    const int cv = strictNumber(cvText);
    const int value = strictNumber(valueText);
    if (cv < 1 || cv > 1024 || value < 0 || value > 255) {
        showDialogMessage(kMsgCvRange, 1);
        return;
    }
    queueCvWrite(address, mode, cv, value);
}

void enableProgDialog(bool on) {
    if (frmProg) frmProg->setEnabled(on);
}
