#include "operation/dialogs/untFunctieDec.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "link/buffers/link_buffers.h"
#include "link/dialogs/untProg.h"
#include "link/port/decoder_programming.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "operation/control/control_post.h"
#include "operation/control/dialog_records.h"
#include "operation/control/emergency_stop.h"
#include "operation/dialogs/untLok.h"
#include "operation/dialogs/untTrein.h"
#include "operation/files/function_decoder_file.h"
#include "operation/model/function_decoder_codec.h"
#include "operation/model/train_codec.h"
#include "operation/model/train_model.h"
#include "platform/byte_io.h"
#include "platform/text_codec.h"
#include "shell/config/help.h"
#include "shell/config/messages.h"
#include "shell/model/app_state.h"
#include "shell/model/settings.h"
#include "shell/window/form_setup.h"

TfrmFunctieDec* frmFunctieDec = nullptr;

namespace {

constexpr int kHelpTopic = 27;
constexpr int kPanelsPerRow = 4;
constexpr int kPanelTop = 130;
constexpr int kRowHeight = 26;
constexpr int kCellWidth = 150;
// The last decoder the file can hold: a file with 200 or more is refused.
constexpr int kMaxDecodersInFile = 199;

QString text(const std::string& s) { return vestrel::fromCp1252(s); }
bool client() { return gNetMode == 40; }

bool functionOn(const FunctionDecoderRec& d, int n) {
    const int bit = n <= 4 ? n - 1 : n + 3;
    return (d.functionState >> bit) & 1u;
}

bool valid(const FunctionDecoderRec* d) { return d && gFunctionDecoders[d->slot] == d; }

// Queues the record as the server's broadcast, and as the client's request as well when asked.
void queueBoth(int code, const FunctionDecoderRec& d, int c) {
    netQueueRecord(30, 35, code, d.address, d.slot, c);
    netQueueRecord(40, 35, code, d.address, d.slot, c);
}

}  // namespace

void showDecoderPanelFunction(const FunctionDecoderRec* decoder, int n) {
    if (frmFunctieDec) frmFunctieDec->showPanel(decoder, n);
}

TfrmFunctieDec::TfrmFunctieDec(QWidget* parent) : TFormDialog(parent) {
    setupForm(this, "frmFunctieDec", "Functiedecoder", 620, 420);
    auto button = [this](const char* name, const QString& caption, int x, int y, int w) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setGeometry(x, y, w, 25);
        b->setAutoDefault(false);
        return b;
    };
    auto combo = [this](const char* name, int x, int y, int w) {
        auto* c = new QComboBox(this);
        c->setObjectName(name);
        c->setGeometry(x, y, w, 21);
        return c;
    };
    auto edit = [this](const char* name, int length, int x, int y, int w) {
        auto* e = new QLineEdit(this);
        e->setObjectName(name);
        e->setMaxLength(length);
        e->setGeometry(x, y, w, 21);
        return e;
    };
    edtFdecNummer = edit("edtFdecNummer", 4, 10, 10, 50);
    btnFdecToevoegen = button("btnFdecToevoegen", "Toevoegen", 70, 8, 80);
    cboFdecNummer = combo("cboFdecNummer", 160, 10, 80);
    btnFdecVerwijderen = button("btnFdecVerwijderen", "Verwijderen", 250, 8, 90);
    edtFdecNaam = edit("edtFdecNaam", 20, 10, 45, 200);
    cboDCC = combo("cboDCC", 220, 45, 70);
    cboDCC->addItems({"MM", "DCC"});
    cboLoc = combo("cboLoc", 300, 45, 80);
    btnLoc = button("btnLoc", ">>", 390, 43, 40);
    cboFdecAantal = combo("cboFdecAantal", 10, 80, 60);
    for (int i = 1; i <= kPanels; ++i) cboFdecAantal->addItem(QString::number(i));
    for (int i = 0; i < kPanels; ++i) {
        const int x = 10 + (i % kPanelsPerRow) * kCellWidth;
        const int y = kPanelTop + (i / kPanelsPerRow) * kRowHeight;
        pnlF[i] = new QLabel(QString("F%1").arg(i + 1), this);
        pnlF[i]->setObjectName(QString("pnlF%1").arg(i + 1));
        pnlF[i]->setGeometry(x, y, 36, 22);
        pnlF[i]->setAlignment(Qt::AlignCenter);
        pnlF[i]->setAutoFillBackground(true);
        edtF[i] = edit(QString("edtF%1").arg(i + 1).toLatin1().constData(), 10, x + 40, y, 100);
    }
    btnCVProg = button("btnCVProg", "Programmeren", 10, 0, 100);
    btnOpslaan = button("btnOpslaan", "Functiedecoders opslaan", 120, 0, 170);
    btnHelp = button("btnHelp", "Help", 300, 0, 75);
    btnAfsluiten = button("btnAfsluiten", "Afsluiten", 385, 0, 90);
    placeButtons(kPanels);
    connect(btnFdecToevoegen, &QPushButton::clicked, this, &TfrmFunctieDec::btnFdecToevoegenClick);
    connect(btnFdecVerwijderen, &QPushButton::clicked, this, [this] { btnFdecVerwijderenClick(true); });
    connect(cboFdecNummer, &QComboBox::activated, this, &TfrmFunctieDec::cboFdecNummerChange);
    connect(cboDCC, &QComboBox::activated, this, &TfrmFunctieDec::cboDCCChange);
    connect(cboLoc, &QComboBox::activated, this, &TfrmFunctieDec::cboLocChange);
    connect(btnLoc, &QPushButton::clicked, this, &TfrmFunctieDec::btnLocClick);
    connect(cboFdecAantal, &QComboBox::activated, this, &TfrmFunctieDec::cboFdecAantalChange);
    connect(btnCVProg, &QPushButton::clicked, this, &TfrmFunctieDec::btnCVProgClick);
    connect(btnOpslaan, &QPushButton::clicked, this, &TfrmFunctieDec::btnOpslaanClick);
    connect(btnHelp, &QPushButton::clicked, this, &TfrmFunctieDec::btnHelpClick);
    connect(btnAfsluiten, &QPushButton::clicked, this, &TfrmFunctieDec::btnAfsluitenClick);
    for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
}

void TfrmFunctieDec::placeButtons(int count) {
    const int rows = (std::max(count, 1) - 1) / kPanelsPerRow + 1;
    const int top = kPanelTop + rows * kRowHeight + 10;
    for (QPushButton* b : {btnCVProg, btnOpslaan, btnHelp, btnAfsluiten}) b->move(b->x(), top);
    resize(width(), top + 35);
}

void TfrmFunctieDec::fillNumberList() {
    cboFdecNummer->clear();
    for (const FunctionDecoderRec* d : gFunctionDecoders) cboFdecNummer->addItem(QString::number(d->address));
}

void TfrmFunctieDec::FormActivate() {
    filling_ = true;
    if (Tag == 0) {
        Tag = 1;
        edtFdecNummer->clear();
        fillNumberList();
        cboLoc->clear();
        cboLoc->addItem(QString());
        for (const LocoRec* l : gLocs) cboLoc->addItem(QString::number(l->number));
        setEnabled(gDemoStep == 0);
        for (QWidget* w : {static_cast<QWidget*>(edtFdecNummer), static_cast<QWidget*>(btnFdecToevoegen),
                           static_cast<QWidget*>(btnFdecVerwijderen)})
            w->setVisible(!client());
    }
    if (!valid(gCurFunctionDecoder)) gCurFunctionDecoder = nullptr;
    showDecoder(gCurFunctionDecoder);
    filling_ = false;
}

void TfrmFunctieDec::showDecoder(FunctionDecoderRec* d) {
    QWidget* parts[] = {edtFdecNaam, cboDCC, cboLoc, btnLoc, cboFdecAantal, btnFdecVerwijderen, btnCVProg};
    // Without a decoder only the address field (to add one) and the list stay; the rest is hidden.
    for (QWidget* w : parts) w->setVisible(d != nullptr);
    btnFdecVerwijderen->setVisible(d && !client());
    btnCVProg->setVisible(d && gRunWithTrack && gSettings.chboDirectBooster && !client());
    if (!d) {
        cboFdecNummer->setCurrentIndex(-1);
        edtFdecNaam->clear();
        for (QWidget* w : parts) w->setEnabled(false);
        for (int i = 0; i < kPanels; ++i) {
            pnlF[i]->hide();
            edtF[i]->hide();
        }
        placeButtons(1);
        return;
    }
    cboFdecNummer->setCurrentIndex(d->slot);
    edtFdecNaam->setText(text(d->name));
    if (LocoRec* own = findLocoByNumber(d->address)) d->loco = own;
    if (d->loco && gLocs.indexOf(d->loco) >= 0) {
        cboLoc->setCurrentIndex(d->loco->slot + 1);
        d->protocol = d->loco->decoderType > 2 ? 1 : 0;
    } else {
        cboLoc->setCurrentIndex(0);
        d->loco = nullptr;
    }
    cboDCC->setCurrentIndex(d->protocol <= 1 ? d->protocol : -1);
    const int count = std::clamp<int>(d->functionCount, 1, kPanels);
    cboFdecAantal->setCurrentIndex(count - 1);
    for (int i = 0; i < kPanels; ++i) {
        pnlF[i]->setVisible(i < count);
        edtF[i]->setVisible(i < count);
        edtF[i]->setText(text(d->functionNames[i]));
        showPanel(d, i + 1);
    }
    for (QWidget* w : parts) w->setEnabled(true);
    const bool ownLoco = d->loco && d->loco->number == d->address;
    cboDCC->setEnabled(!ownLoco);
    cboLoc->setEnabled(!ownLoco);
    placeButtons(count);
}

void TfrmFunctieDec::showPanel(const FunctionDecoderRec* decoder, int n) {
    if (!decoder || decoder != gCurFunctionDecoder || n < 1 || n > kPanels) return;
    QLabel* p = pnlF[n - 1];
    const bool on = functionOn(*decoder, n);
    p->setFrameStyle(QFrame::Panel | (on ? QFrame::Sunken : QFrame::Raised));
    p->setStyleSheet(on ? "background-color: rgb(255,255,0)" : QString());
}

// ------------------------------------------------------------------- adding and deleting

void TfrmFunctieDec::btnFdecToevoegenClick() { addDecoder(edtFdecNummer->text().toInt(), true); }

void TfrmFunctieDec::addDecoder(int address, bool withSender) {
    if (address < 1 || address > 9999) return;
    for (const FunctionDecoderRec* d : gFunctionDecoders)
        if (d->address == address) {
            if (withSender) showDialogMessage("Deze functiedecoder werd reeds toegevoegd", 1);
            return;
        }
    if (gFunctionDecoderCount >= kMaxDecodersInFile) {
        if (withSender) showDialogMessage("Maximaal aantal functiedecoders reeds ingevoerd !", 1);
        return;
    }
    auto rec = std::make_unique<FunctionDecoderRec>();
    rec->address = static_cast<int16_t>(address);
    FunctionDecoderRec* d = gFunctionDecoders.append(std::move(rec));
    if (!d) {
        fatalOutOfMemory();
        return;
    }
    gFunctionDecoders.stableSort([](const FunctionDecoderRec& a, const FunctionDecoderRec& b) { return a.address < b.address; });
    if (withSender) gCurFunctionDecoder = d;
    fillNumberList();
    refreshIfShown();
    netQueueRecord(30, 35, 0, 0, 0, address);
}

void TfrmFunctieDec::btnFdecVerwijderenClick(bool withSender) { deleteDecoder(gCurFunctionDecoder, withSender); }

void TfrmFunctieDec::deleteDecoder(FunctionDecoderRec* d, bool withSender) {
    if (!valid(d)) return;
    if (withSender && showDialogMessage("", 2) != 1) return;
    if (!valid(d)) return;
    netQueueRecord(30, 35, 42, d->address, d->slot, 0);
    const int index = d->slot;
    FunctionDecoderRec* const shown = gCurFunctionDecoder;
    const int selected = withSender ? cboFdecNummer->currentIndex() : index;
    forgetProgrammingRecord(nullptr, d);
    forgetFunctionDecoderRecord(d);
    gFunctionDecoders.removeAt(index);
    const int next = std::min(selected >= 0 ? selected : index, gFunctionDecoderCount - 1);
    gCurFunctionDecoder = (withSender || shown == d) ? gFunctionDecoders[next] : shown;
    fillNumberList();
    refreshIfShown();
}

// A closed dialog keeps Tag 0, so that it fills itself afresh when it opens.
void TfrmFunctieDec::refreshIfShown() {
    if (isVisible()) FormActivate();
}

// ------------------------------------------------------------------- field changes

void TfrmFunctieDec::cboFdecNummerChange() {
    gCurFunctionDecoder = gFunctionDecoders[cboFdecNummer->currentIndex()];
    FormActivate();
}

void TfrmFunctieDec::edtFdecNaamExit() {
    FunctionDecoderRec* d = gCurFunctionDecoder;
    if (!valid(d) || filling_) return;
    d->name = vestrel::toCp1252(edtFdecNaam->text()).substr(0, kFunctionDecoderNameSize - 1);
    vestrel::ByteWriter w;
    writeFixedText(w, d->name, kFunctionDecoderNameSize);
    w.u8(d->functionCount);
    netQueueBlobRecord(30, 35, 49, d->address, d->slot, w.data().data(), static_cast<int>(w.size()));
    netQueueBlobRecord(40, 35, 49, d->address, d->slot, w.data().data(), static_cast<int>(w.size()));
}

void TfrmFunctieDec::cboDCCChange() {
    FunctionDecoderRec* d = gCurFunctionDecoder;
    if (!valid(d) || cboDCC->currentIndex() < 0) return;
    d->protocol = static_cast<uint8_t>(cboDCC->currentIndex());
    queueBoth(51, *d, d->protocol);
}

void TfrmFunctieDec::cboLocChange() {
    FunctionDecoderRec* d = gCurFunctionDecoder;
    const int k = cboLoc->currentIndex();
    if (!valid(d) || k < 0) return;
    d->loco = k > 0 ? gLocs[k - 1] : nullptr;
    queueBoth(2, *d, d->loco ? d->loco->slot + 1 : 0);
    FormActivate();
}

void TfrmFunctieDec::btnLocClick() {
    FunctionDecoderRec* d = gCurFunctionDecoder;
    if (!valid(d) || !d->loco) return;
    LocoRec* loco = d->loco;
    const bool placing = frmLok && frmLok->Tag == kLokPlacing && frmLok->isVisible();
    if (locoStandsOnTrack(loco) && !placing) {
        gCurLoc = loco;
        gEditMode = kPostVehicleDialog;
        if (frmLok) {
            frmLok->show();
            frmLok->raise();
        }
    } else if (frmTrein) {
        gCurTrain = loco;
        frmTrein->showNoneOrCurrent();
        frmTrein->show();
        frmTrein->raise();
    }
}

void TfrmFunctieDec::cboFdecAantalChange() {
    FunctionDecoderRec* d = gCurFunctionDecoder;
    if (!valid(d) || cboFdecAantal->currentIndex() < 0) return;
    d->functionCount = static_cast<uint8_t>(cboFdecAantal->currentIndex() + 1);
    FormActivate();
    queueBoth(50, *d, d->functionCount);
}

void TfrmFunctieDec::edtF1Exit(int n) {
    FunctionDecoderRec* d = gCurFunctionDecoder;
    if (!valid(d) || filling_ || n < 1 || n > kPanels) return;
    d->functionNames[n - 1] = vestrel::toCp1252(edtF[n - 1]->text()).substr(0, kFunctionNameSize - 1);
    vestrel::ByteWriter w;
    w.u8(static_cast<uint8_t>(n - 1));
    writeFixedText(w, d->functionNames[n - 1], kFunctionNameSize);
    if (!netQueueBlobRecord(30, 35, 37, d->address, d->slot, w.data().data(), static_cast<int>(w.size())))
        netQueueBlobRecord(40, 35, 37, d->address, d->slot, w.data().data(), static_cast<int>(w.size()));
}

void TfrmFunctieDec::pnlF1Click(int n) {
    FunctionDecoderRec* d = gCurFunctionDecoder;
    if (!valid(d) || n < 1 || n > d->functionCount) return;
    setDecoderFunction(d, n, functionOn(*d, n) ? 0 : 1);
    showPanel(d, n);
}

void TfrmFunctieDec::btnCVProgClick() {
    if (!directMode() || gMmProgState != 0 || !gCurFunctionDecoder || !frmProg) return;
    frmProg->Tag = 0;
    gProgLoco = nullptr;
    gProgFunctionDecoder = gCurFunctionDecoder;
    frmProg->show();
    frmProg->raise();
}

void TfrmFunctieDec::btnOpslaanClick() {
    FunctionDecoderRec* d = gCurFunctionDecoder;
    if (client()) netQueueRecord(40, 35, 48, d ? d->address : 0, d ? d->slot : 0, 0);
    else saveFunctionDecoderFile();
}

void TfrmFunctieDec::btnAfsluitenClick() { close(); }

void TfrmFunctieDec::btnHelpClick() { showHelpTopic(kHelpTopic); }

void TfrmFunctieDec::FormClose() { Tag = 0; }

void TfrmFunctieDec::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TfrmFunctieDec::closeEvent(QCloseEvent* event) {
    FormClose();
    QDialog::closeEvent(event);
}

// Esc belongs to no button of this form.
void TfrmFunctieDec::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) return;
    QDialog::keyPressEvent(event);
}

bool TfrmFunctieDec::eventFilter(QObject* watched, QEvent* event) {
    const auto* edits = std::find(std::begin(edtF), std::end(edtF), watched);
    const auto* panels = std::find(std::begin(pnlF), std::end(pnlF), watched);
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool nameEdit = watched == edtFdecNaam || edits != std::end(edtF);
        if (key == Qt::Key_Space && !nameEdit && sessionRunning() && gEmergencyState == 0) {
            emergencyStopAll(1);
            return true;
        }
    } else if (event->type() == QEvent::FocusOut) {
        if (watched == edtFdecNaam) edtFdecNaamExit();
        else if (edits != std::end(edtF)) edtF1Exit(static_cast<int>(edits - std::begin(edtF)) + 1);
    } else if (event->type() == QEvent::MouseButtonPress && panels != std::end(pnlF)) {
        pnlF1Click(static_cast<int>(panels - std::begin(pnlF)) + 1);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
