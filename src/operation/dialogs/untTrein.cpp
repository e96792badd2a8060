#include "operation/dialogs/untTrein.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableWidget>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "layout/model/scale.h"
#include "link/protocol/track_packets.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "operation/control/control_post.h"
#include "operation/control/emergency_stop.h"
#include "operation/control/loco_operation.h"
#include "operation/dialogs/untCurve.h"
#include "operation/dialogs/untFunctieDec.h"
#include "operation/dialogs/untLok.h"
#include "operation/dialogs/untWagons.h"
#include "operation/draw/train_drawing.h"
#include "operation/draw/vehicle_photos.h"
#include "operation/engine/helper_locos.h"
#include "operation/engine/running_engine.h"
#include "operation/engine/train_placement.h"
#include "operation/engine/wagon_coupling.h"
#include "operation/model/speed_curve.h"
#include "operation/model/train_codec.h"
#include "operation/model/train_model.h"
#include "platform/byte_io.h"
#include "platform/paths.h"
#include "platform/text_codec.h"
#include "shell/config/help.h"
#include "shell/config/messages.h"
#include "shell/model/app_state.h"
#include "shell/window/form_setup.h"

TfrmTrein* frmTrein = nullptr;
std::vector<WagonRec*> gTrainList;

namespace {

constexpr int kDialogCode = 13;
constexpr int kHelpTopic = 15;
constexpr int kNewMaxSpeed = 130;
constexpr int kVisibleGridRows = 7;
constexpr int kWagonModeAdd = 3;
constexpr int kWagonModeChain = 8;
constexpr uint8_t kChangedLocoData = 0x01;
constexpr const char* kLocoPhotos = "foto\\loc\\";
constexpr const char* kSmallWagonPhotos = "foto\\wag\\klein\\";

const char* const kMotors[] = {"Stoom", "Diesel", "Electrisch"};
const char* const kKinds[] = {"Personen", "Goederen", "Rangeer", "Andere"};
const char* const kDecoders[] = {"Motorola oud 14 stappen", "Motorola nieuw 14stappen", "Motorola nieuw 27stappen",
                                 "DCC 14 stappen",          "DCC 28 stappen",           "DCC 126 stappen"};

QString text(const std::string& s) { return vestrel::fromCp1252(s); }
std::string bytes(const QString& s) { return vestrel::toCp1252(s); }

bool demoRuns() { return gDemoStep != 0; }
bool client() { return gNetMode == 40; }

bool standsSwitchedOn(const LocoRec* loco) { return loco->run.head.block && loco->running; }

void sortLocos() { gLocs.stableSort([](const LocoRec& a, const LocoRec& b) { return a.number < b.number; }); }

int selectComboText(QComboBox* combo, const QString& value) {
    int found = -1;
    for (int i = 0; i < combo->count(); ++i)
        if (combo->itemText(i) == value) found = i;
    combo->setCurrentIndex(found);
    return found;
}

// The index of the highest set bit of the kind mask, -1 for none.
int kindIndex(uint8_t mask) {
    int index = -1;
    for (int bit = 0; bit < 4; ++bit)
        if (mask & (1 << bit)) index = bit;
    return index;
}

QLabel* label(QWidget* parent, const char* name, const QString& caption, int x, int y, int w = 90) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(name);
    l->setGeometry(x, y, w, 17);
    return l;
}

QComboBox* combo(QWidget* parent, const char* name, int x, int y, int w) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setGeometry(x, y, w, 21);
    return c;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int x, int y, int w = 75) {
    return formButton(parent, name, caption, x, y, w);
}

// Paints a wagon's small photo over column 1 of its row.
class WagonPhotoDelegate : public QStyledItemDelegate {
public:
    explicit WagonPhotoDelegate(const TfrmTrein* form) : QStyledItemDelegate(const_cast<TfrmTrein*>(form)), form_(form) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        if (index.column() != 1) return;
        QImage picture;
        form_->strgrdWagonsDrawCell(index.row(), picture);
        if (!picture.isNull()) painter->drawImage(option.rect, picture);
    }

private:
    const TfrmTrein* form_;
};

// The train's first position: where its head-side end stands.
void firstPositionBytes(LocoRec* loco, int row, vestrel::ByteWriter& w) {
    const PositionRec& p = headSideEnd(*loco);
    w.i16(static_cast<int16_t>(row));
    w.f32(p.x);
    w.f32(p.y);
}

}  // namespace

LocoAddResult addLocomotive(int number) {
    if (number < 1 || number > 9999) return LocoAddResult::InvalidNumber;
    if (findLocoByNumber(number)) return LocoAddResult::NumberUsed;
    if (gLocs.full()) return LocoAddResult::TableFull;
    auto rec = std::make_unique<LocoRec>();
    LocoRec* loco = gLocs.append(std::move(rec));
    if (!loco) {
        fatalOutOfMemory();
        return LocoAddResult::TableFull;
    }
    loco->number = static_cast<int16_t>(number);
    loco->heading = 'H';
    loco->direction = 'v';
    loco->run.maxSpeed = kNewMaxSpeed;
    loco->run.speedSteps = 28;
    loco->maxStep = 28;
    loco->motor = 0;
    loco->kind = 1;
    loco->decoderType = 4;
    loco->acceleration = 7;
    loco->stepDelay = loco->effectiveStepDelay = static_cast<int16_t>(calcStepDelay(loco, 7));
    sortLocos();
    normaliseSpeedCurve(loco);
    gLocoDataModified = 1;
    netQueueRecord(30, 2, 0, number, loco->slot, number);
    return LocoAddResult::Added;
}

// ------------------------------------------------------------------- grid helpers

void fillWagonGridRow(QTableWidget* grid, const WagonRec* wagon, int row) {
    if (!grid || row < 0) return;
    if (grid->rowCount() <= row) grid->setRowCount(row + 1);
    auto set = [&](int col, const QString& s) { grid->setItem(row, col, new QTableWidgetItem(s)); };
    set(0, QString::number(row + 1));
    if (!wagon) {
        set(1, "Locomotief");
        set(2, QString::number(gUnit20cm));
    } else {
        set(1, wagon->kind == 'H' ? QString("Hulplocomotief") : QString());
        set(2, QString::number(wagon->lengthCm));
    }
}

void clearWagonGridRow(QTableWidget* grid, int row) {
    if (!grid || row < 0 || row >= grid->rowCount()) return;
    for (int col = 0; col < grid->columnCount(); ++col) grid->setItem(row, col, new QTableWidgetItem());
}

void fillWagonGrid(QTableWidget* grid) {
    if (!grid) return;
    grid->setRowCount(static_cast<int>(gTrainList.size()) + 1);
    for (size_t r = 0; r < gTrainList.size(); ++r) fillWagonGridRow(grid, gTrainList[r], static_cast<int>(r));
    clearWagonGridRow(grid, static_cast<int>(gTrainList.size()));
}

void clearWagonGrid(QTableWidget* grid) {
    if (!grid) return;
    grid->setRowCount(1);
    clearWagonGridRow(grid, 0);
}

// ------------------------------------------------------------------- the form

TfrmTrein::TfrmTrein(QWidget* parent) : TFormDialog(parent) {
    setupForm(this, "frmTrein", "Treinbeheer", 430, 440);
    cboLocNummer = combo(this, "cboLocNummer", 10, 10, 80);
    cboLocNummer->setToolTip("Decoder");
    edtLocNummer = formEdit(this, "edtLocNummer", 4, 100, 10, 50);
    btnLocToevoegen = button(this, "btnLocToevoegen", "Toev", 160, 8, 50);
    btnLocWijzigen = button(this, "btnLocWijzigen", "Wijz", 215, 8, 50);
    imgLocFoto = new QLabel(this);
    imgLocFoto->setObjectName("imgLocFoto");
    imgLocFoto->setGeometry(10, 40, 400, 80);
    imgLocFoto->setScaledContents(true);
    imgLocFoto->installEventFilter(this);
    pctTrein = new QTabWidget(this);
    pctTrein->setObjectName("pctTrein");
    pctTrein->setGeometry(10, 125, 410, 270);
    buildLocoTab();
    buildWagonsTab();
    btnLocVerwijderen = button(this, "btnLocVerwijderen", "Verwijderen", 10, 405, 90);
    btnHelp = button(this, "btnHelp", "Help", 240, 405);
    btnAfsluiten = button(this, "btnAfsluiten", "Afsluiten", 325, 405, 95);
    connect(cboLocNummer, &QComboBox::activated, this, &TfrmTrein::cboLocNummerClick);
    connect(btnLocToevoegen, &QPushButton::clicked, this, &TfrmTrein::btnLocToevoegenClick);
    connect(btnLocWijzigen, &QPushButton::clicked, this, &TfrmTrein::btnLocWijzigenClick);
    connect(btnLocVerwijderen, &QPushButton::clicked, this, &TfrmTrein::btnLocVerwijderenClick);
    connect(btnHelp, &QPushButton::clicked, this, &TfrmTrein::btnHelpClick);
    connect(btnAfsluiten, &QPushButton::clicked, this, &TfrmTrein::btnAfsluitenClick);
    for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
}

void TfrmTrein::buildLocoTab() {
    tshLoc = new QWidget;
    tshLoc->setObjectName("tshLoc");
    pctTrein->addTab(tshLoc, "Locomotief");
    label(tshLoc, "lblLocNaam", "Naam", 10, 12);
    edtLocNaam = formEdit(tshLoc, "edtLocNaam", 28, 100, 10, 200);
    label(tshLoc, "lblLocFoto", "Foto", 10, 38);
    cboLocFoto = combo(tshLoc, "cboLocFoto", 100, 36, 120);
    cboLocMotor = combo(tshLoc, "cboLocMotor", 230, 36, 100);
    for (const char* m : kMotors) cboLocMotor->addItem(m);
    label(tshLoc, "lblLocSoort", "Soort", 10, 64);
    cboLocSoort = combo(tshLoc, "cboLocSoort", 100, 62, 120);
    for (const char* k : kKinds) cboLocSoort->addItem(k);
    label(tshLoc, "lblMaxSnelh", "Max", 230, 64, 30);
    edtMaxSnelh = formEdit(tshLoc, "edtMaxSnelh", 3, 265, 62, 40);
    label(tshLoc, "lblDecoder", "Decoder", 10, 90);
    cboDecoder = combo(tshLoc, "cboDecoder", 100, 88, 200);
    for (const char* d : kDecoders) cboDecoder->addItem(d);
    label(tshLoc, "lblKmTellers", "Kilometertellers", 10, 118, 200);
    const char* names[3] = {"edtKmTellerTot", "edtKmTellerTotH", "edtKmTellerDag"};
    const char* captions[3] = {"Totaal", "Heen", "Dag"};
    QLineEdit** edits[3] = {&edtKmTellerTot, &edtKmTellerTotH, &edtKmTellerDag};
    for (int i = 0; i < 3; ++i) {
        label(tshLoc, (std::string("lbl") + (names[i] + 3)).c_str(), captions[i], 10 + 130 * i, 140, 60);
        *edits[i] = formEdit(tshLoc, names[i], 7, 10 + 130 * i, 158, 90);
        kmEdits_[i] = *edits[i];
    }
    btnCurve = button(tshLoc, "btnCurve", "Snelheidscurve", 10, 195, 120);
    connect(edtLocNaam, &QLineEdit::textEdited, this, &TfrmTrein::edtLocNaamChange);
    connect(cboLocFoto, &QComboBox::activated, this, &TfrmTrein::cboLocFotoChange);
    connect(cboLocMotor, &QComboBox::activated, this, &TfrmTrein::cboLocMotorChange);
    connect(cboLocSoort, &QComboBox::activated, this, &TfrmTrein::cboLocSoortChange);
    connect(cboDecoder, &QComboBox::activated, this, &TfrmTrein::cboDecoderChange);
    connect(edtMaxSnelh, &QLineEdit::textEdited, this, &TfrmTrein::edtMaxSnelhChange);
    connect(btnCurve, &QPushButton::clicked, this, &TfrmTrein::btnCurveClick);
}

void TfrmTrein::buildWagonsTab() {
    tshWagons = new QWidget;
    tshWagons->setObjectName("tshWagons");
    pctTrein->addTab(tshWagons, "Wagons");
    strgrdWagons = new QTableWidget(1, 3, tshWagons);
    strgrdWagons->setObjectName("strgrdWagons");
    strgrdWagons->setGeometry(10, 10, 200, 7 * 20 + 4);
    strgrdWagons->horizontalHeader()->hide();
    strgrdWagons->verticalHeader()->hide();
    strgrdWagons->verticalHeader()->setDefaultSectionSize(20);
    strgrdWagons->setColumnWidth(0, 20);
    strgrdWagons->setColumnWidth(1, 80);
    strgrdWagons->setColumnWidth(2, 70);
    strgrdWagons->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    strgrdWagons->setEditTriggers(QAbstractItemView::NoEditTriggers);
    strgrdWagons->setSelectionMode(QAbstractItemView::SingleSelection);
    strgrdWagons->setItemDelegate(new WagonPhotoDelegate(this));
    btnWagToevoegen = button(tshWagons, "btnWagToevoegen", "Toevoegen", 220, 10, 90);
    btnWagVerwijderen = button(tshWagons, "btnWagVerwijderen", "Verwijderen", 220, 40, 90);
    lblTreinLengte = label(tshWagons, "lblTreinLengte", "Treinlengte :", 10, 165);
    lblLengte = label(tshWagons, "lblLengte", "", 100, 165, 200);
    lblKorteLangeTrein = label(tshWagons, "lblKorteLangeTrein", "", 10, 185, 200);
    lblKorteLangeTrein->setToolTip("Zie menukeuze 'instellingen'");
    lblHulpLoc = label(tshWagons, "lblHulpLoc", "", 10, 10, 390);
    lblHulpLocInfo = label(tshWagons, "lblHulpLocInfo", "", 10, 35, 390);
    lblHulpLocInfo->resize(390, 40);
    lblHulpLocInfo->setWordWrap(false);
    connect(btnWagToevoegen, &QPushButton::clicked, this, &TfrmTrein::btnWagToevoegenClick);
    connect(btnWagVerwijderen, &QPushButton::clicked, this, &TfrmTrein::btnWagVerwijderenClick);
    connect(strgrdWagons, &QTableWidget::cellDoubleClicked, this, &TfrmTrein::strgrdWagonsDblClick);
    connect(strgrdWagons->verticalScrollBar(), &QScrollBar::valueChanged, this, &TfrmTrein::strgrdWagonsTopLeftChanged);
}

// ------------------------------------------------------------------- activation

void TfrmTrein::fillNumberList(const LocoRec* except) {
    cboLocNummer->clear();
    for (const LocoRec* l : gLocs)
        if (l != except) cboLocNummer->addItem(QString::number(l->number));
    cboLocNummer->setCurrentIndex(-1);
    shownLoco = nullptr;
}

void TfrmTrein::FormActivate() {
    filling_ = true;
    if (gCurTrain && gLocs.indexOf(gCurTrain) < 0) gCurTrain = nullptr;
    if (Tag == 0) {
        Tag = 1;
        cboLocFoto->clear();
        for (const std::string& n : photoNamesIn(kLocoPhotos)) cboLocFoto->addItem(text(n));
        fillNumberList();
        if (!gCurTrain) gCurTrain = gLocs[0];
        for (QLineEdit* e : kmEdits_) {
            e->setStyleSheet("background-color: rgb(192,192,192)");
            e->setReadOnly(true);
            e->setToolTip("Dubbleklik om waarde te veranderen");
        }
        clearWagonGrid(strgrdWagons);
        const bool demo = demoRuns();
        for (QWidget* w : {static_cast<QWidget*>(cboLocNummer), static_cast<QWidget*>(btnLocToevoegen),
                           static_cast<QWidget*>(btnLocWijzigen), static_cast<QWidget*>(btnAfsluiten)})
            w->setEnabled(!demo);
        if (demo) {
            btnLocVerwijderen->setEnabled(false);
            pctTrein->setEnabled(false);
        }
        for (QWidget* w : {static_cast<QWidget*>(btnLocToevoegen), static_cast<QWidget*>(btnLocWijzigen),
                           static_cast<QWidget*>(edtLocNummer), static_cast<QWidget*>(btnLocVerwijderen)})
            w->setVisible(!client());
        cboDecoder->setEnabled(!client());
    }
    gActiveDialog = kDialogCode;
    LocoRec* loco = gCurTrain;
    if (!loco) {
        gTrainList.clear();
        clearWagonGrid(strgrdWagons);
        btnLocVerwijderen->setEnabled(false);
        pctTrein->setEnabled(false);
        clearFields();
        filling_ = false;
        return;
    }
    if (shownLoco != loco) showLocoFields(loco);
    showWagonsPart(loco);
    cboDecoder->setEnabled(!client() && !(frmCurve && frmCurve->isVisible() && gCurveLoco == loco));
    filling_ = false;
}

void TfrmTrein::clearFields() {
    shownLoco = nullptr;
    cboLocNummer->setCurrentIndex(-1);
    showPhoto("");
    edtLocNaam->clear();
    edtMaxSnelh->clear();
    for (QLineEdit* e : kmEdits_) e->clear();
    for (QComboBox* c : {cboLocFoto, cboLocMotor, cboLocSoort, cboDecoder}) c->setCurrentIndex(-1);
    lblLengte->clear();
    lblKorteLangeTrein->clear();
}

void TfrmTrein::showPhoto(const std::string& name) {
    QImage photo;
    loadPhotoBitmap(kLocoPhotos, name, photo);
    imgLocFoto->setPixmap(QPixmap::fromImage(photo));
}

void TfrmTrein::showLocoFields(LocoRec* loco) {
    shownLoco = loco;
    selectComboText(cboLocNummer, QString::number(loco->number));
    edtLocNummer->clear();
    showPhoto(loco->run.photo);
    edtLocNaam->setText(text(loco->name));
    selectComboText(cboLocFoto, text(loco->run.photo));
    cboLocMotor->setCurrentIndex(loco->motor < 3 ? loco->motor : -1);
    cboLocSoort->setCurrentIndex(kindIndex(loco->kind));
    edtMaxSnelh->setText(QString::number(loco->run.maxSpeed));
    showKmCounters(loco);
    cboDecoder->setCurrentIndex(loco->decoderType < 6 ? loco->decoderType : -1);
    rebuildTrainList(loco);
    fillWagonGrid(strgrdWagons);
    strgrdWagons->setCurrentCell(static_cast<int>(gTrainList.size()), 0);
}

void TfrmTrein::rebuildTrainList(LocoRec* loco) {
    gTrainList.clear();
    for (WagonRec* w : chainWagons(loco->rearChain)) gTrainList.push_back(w);
    gTrainList.push_back(nullptr);
    for (WagonRec* w : chainWagons(loco->frontChain)) gTrainList.push_back(w);
}

void TfrmTrein::showWagonsPart(LocoRec* loco) {
    const bool helper = loco->helperWagon != nullptr;
    lblHulpLoc->setVisible(helper);
    lblHulpLocInfo->setVisible(helper);
    for (QWidget* w : {static_cast<QWidget*>(strgrdWagons), static_cast<QWidget*>(lblTreinLengte),
                       static_cast<QWidget*>(lblLengte), static_cast<QWidget*>(lblKorteLangeTrein)})
        w->setVisible(!helper);
    btnWagToevoegen->setVisible(!helper && !client());
    btnWagVerwijderen->setVisible(!helper && !client());
    if (helper) {
        lblHulpLoc->setText("Deze locomotief is gedefinieerd als hulplocomotief bij de wagons");
        showVehicleLocation(loco->helperWagon, lblHulpLocInfo);
    } else {
        showTrainLength(loco);
    }
    if (!demoRuns()) {
        btnLocVerwijderen->setEnabled(!standsSwitchedOn(loco));
        pctTrein->setEnabled(true);
        btnWagVerwijderen->setEnabled(gTrainList.size() > 1);
    }
}

void TfrmTrein::showTrainLength(const LocoRec* loco) {
    if (!loco || loco != shownLoco) return;
    lblLengte->setText(QString::fromStdString(trainLengthText(*loco)));
    lblKorteLangeTrein->setText(QString::fromStdString(trainLengthKindText(*loco)));
}

void TfrmTrein::showMaxSpeed(const LocoRec* loco) {
    if (!loco || loco != shownLoco) return;
    const QSignalBlocker quiet(edtMaxSnelh);
    edtMaxSnelh->setText(QString::number(loco->run.maxSpeed));
}

void TfrmTrein::showKmCounters(const LocoRec* loco) {
    if (!loco || loco != shownLoco) return;
    const float values[3] = {loco->run.kmTotal, loco->run.kmHeadingH, loco->run.kmDay};
    // The day's kilometres to the ten metres, as the locomotive panel shows them.
    const int decimals[3] = {1, 1, 2};
    for (int i = 0; i < 3; ++i)
        if (kmEdits_[i]->isReadOnly())
            kmEdits_[i]->setText(QString::number(static_cast<double>(values[i]), 'f', decimals[i]));
}

void TfrmTrein::showNoneOrCurrent(const LocoRec* leaving) {
    if (Tag != 0) fillNumberList(leaving);
    shownLoco = nullptr;
    FormActivate();
}

bool TfrmTrein::listsWagon(const WagonRec* wagon) const {
    return wagon && std::find(gTrainList.begin(), gTrainList.end(), wagon) != gTrainList.end();
}

void TfrmTrein::forgetTrainList() {
    gTrainList.clear();
    shownLoco = nullptr;
}

void TfrmTrein::refreshWagonRow(const WagonRec* wagon) {
    if (!isVisible()) return;
    const auto at = std::find(gTrainList.begin(), gTrainList.end(), wagon);
    if (wagon && at != gTrainList.end()) fillWagonGridRow(strgrdWagons, wagon, static_cast<int>(at - gTrainList.begin()));
}

// ------------------------------------------------------------------- choosing, adding, deleting

void TfrmTrein::cboLocNummerClick() {
    const int number = cboLocNummer->currentText().toInt();
    if (gCurTrain && gCurTrain->number == number) return;
    gCurTrain = findLocoByNumber(number);
    shownLoco = nullptr;
    FormActivate();
}

void TfrmTrein::btnLocToevoegenClick() {
    const int number = edtLocNummer->text().toInt();
    switch (addLocomotive(number)) {
    case LocoAddResult::InvalidNumber: return;
    case LocoAddResult::NumberUsed: showDialogMessage("Deze loc werd reeds toegevoegd", 1); return;
    case LocoAddResult::TableFull: showDialogMessage("Maximaal aantal locomotieven reeds ingevoerd !", 1); return;
    case LocoAddResult::Added: break;
    }
    gCurTrain = findLocoByNumber(number);
    fillNumberList();
    pctTrein->setCurrentWidget(tshLoc);
    FormActivate();
    if (frmFunctieDec) frmFunctieDec->Tag = 0;
}

void TfrmTrein::btnLocWijzigenClick() {
    LocoRec* loco = gCurTrain;
    const int number = edtLocNummer->text().toInt();
    if (!loco || number < 1 || number > 9999 || number == loco->number) return;
    if (findLocoByNumber(number)) {
        showDialogMessage("Dit nummer is reeds gebruikt", 1);
        return;
    }
    netQueueRecord(30, 2, 43, loco->number, loco->slot, number);
    renumberLoco(loco, number);
}

void renumberLoco(LocoRec* loco, int number) {
    if (WagonRec* w = loco->helperWagon) setWagonKind(w, w->kind, w->number, 2);
    loco->number = static_cast<int16_t>(number);
    // The tables stay in number order: the slots (and the rows) that records name follow it.
    sortLocos();
    sortByAddress(gLocsOnTrack);
    if (gLocsOnTrack.indexOf(loco) >= 0) {
        for (int row = 0; row < kMaxLocsOnTrack; ++row) fillControlPostRow(row);
        drawLocoSymbol(loco);
        if (loco->packetCache) buildLocoTrackPackets(loco);
    }
    gLocoDataModified = 1;
    if (frmTrein) {
        frmTrein->fillNumberList();
        if (frmTrein->isVisible()) frmTrein->FormActivate();
    }
    if (frmFunctieDec) frmFunctieDec->Tag = 0;
}

void TfrmTrein::btnLocVerwijderenClick() {
    LocoRec* loco = gCurTrain;
    if (!loco || standsSwitchedOn(loco)) return;
    if (showDialogMessage("", 2) != 1 || gLocs.indexOf(loco) < 0) return;
    if (frmLok && frmLok->isVisible()) frmLok->close();
    const int index = std::max(0, cboLocNummer->currentIndex());
    deleteLoco(loco);
    gCurTrain = gLocs[std::min(index, gLocCount - 1)];
    fillNumberList();
    gLocoDataModified = 1;
    FormActivate();
}

// ------------------------------------------------------------------- field edits

void TfrmTrein::markChanged() {
    gLocoDataModified = 1;
    gChangeFlags |= kChangedLocoData;
}

void TfrmTrein::edtLocNaamChange() {
    LocoRec* loco = gCurTrain;
    if (!loco || filling_) return;
    const std::string name = bytes(edtLocNaam->text()).substr(0, kLocoNameSize - 1);
    if (name == loco->name) return;
    loco->name = name;
    markChanged();
}

void TfrmTrein::cboLocFotoChange() {
    LocoRec* loco = gCurTrain;
    if (!loco || filling_) return;
    const std::string photo = bytes(cboLocFoto->currentText());
    if (photo == loco->run.photo || photo.empty() || photo.size() >= kPhotoNameSize) return;
    loco->run.photo = photo;
    showPhoto(photo);
    markChanged();
}

void TfrmTrein::imgLocFotoClick() {
    LocoRec* loco = gCurTrain;
    if (!loco) return;
    const QString start = QString::fromStdString(vestrel::resolvePath("foto\\loc"));
    const QString chosen = QFileDialog::getOpenFileName(this, QString(), start, "*.bmp");
    if (chosen.isEmpty()) return;
    const std::string photo = photoNameOfChosenFile(kLocoPhotos, chosen.toStdString());
    if (photo.empty()) return;
    loco->run.photo = photo;
    showPhoto(photo);
    selectComboText(cboLocFoto, text(photo));
    markChanged();
}

void TfrmTrein::cboLocMotorChange() {
    LocoRec* loco = gCurTrain;
    const int index = cboLocMotor->currentIndex();
    if (!loco || filling_ || index < 0 || index == loco->motor) return;
    loco->motor = static_cast<uint8_t>(index);
    markChanged();
}

void TfrmTrein::cboLocSoortChange() {
    LocoRec* loco = gCurTrain;
    const int index = cboLocSoort->currentIndex();
    if (!loco || filling_ || index < 0) return;
    loco->kind = static_cast<uint8_t>(1 << index);
    markChanged();
}

void TfrmTrein::takeMaxSpeed(int value) {
    LocoRec* loco = gCurTrain;
    if (!loco || value < kLowestTypedMaxSpeed || value > kHighestTypedMaxSpeed || value == loco->run.maxSpeed) return;
    loco->run.maxSpeed = static_cast<int16_t>(value);
    markTypedMaxSpeed(loco);
    loco->stepDelay = static_cast<int16_t>(calcStepDelay(loco, loco->acceleration));
    markChanged();
}

void TfrmTrein::edtMaxSnelhChange() {
    if (!filling_) takeMaxSpeed(edtMaxSnelh->text().toInt());
}

void TfrmTrein::edtMaxSnelhExit() {
    if (!gCurTrain || filling_) return;
    const int value = std::clamp(edtMaxSnelh->text().toInt(), kLowestTypedMaxSpeed, kHighestTypedMaxSpeed);
    edtMaxSnelh->setText(QString::number(value));
    takeMaxSpeed(value);
}

void TfrmTrein::cboDecoderChange() {
    LocoRec* loco = gCurTrain;
    const int index = cboDecoder->currentIndex();
    if (!loco || filling_ || index < 0 || index == loco->decoderType) return;
    loco->decoderType = static_cast<uint8_t>(index);
    loco->run.speedSteps = static_cast<int16_t>(kDecoderTypeSteps[index]);
    if (locoStandsOnTrack(loco) && loco->packetCache) buildLocoTrackPackets(loco);
    loco->stepDelay = static_cast<int16_t>(calcStepDelay(loco, loco->acceleration));
    normaliseSpeedCurve(loco);
    limitMaxStepByHelpers(loco);
    markChanged();
}

void TfrmTrein::btnCurveClick() {
    if (!gCurTrain) return;
    openSpeedCurveDialog(gCurTrain, x(), y());
}

void TfrmTrein::edtKmTellerDblClick(QLineEdit* e) {
    e->setStyleSheet(QString());
    e->setReadOnly(false);
    e->setToolTip(QString());
}

void TfrmTrein::edtKmTellerExit(QLineEdit* e) {
    e->setStyleSheet("background-color: rgb(192,192,192)");
    e->setReadOnly(true);
    e->setToolTip("Dubbleklik om waarde te veranderen");
}

void TfrmTrein::edtKmTellerKeyDown(QLineEdit* e, int key) {
    LocoRec* loco = gCurTrain;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (!loco || e->isReadOnly()) return;
        float* counters[3] = {&loco->run.kmTotal, &loco->run.kmHeadingH, &loco->run.kmDay};
        const int i = static_cast<int>(std::find(std::begin(kmEdits_), std::end(kmEdits_), e) - std::begin(kmEdits_));
        if (i >= 3) return;
        bool ok = false;
        const double value = e->text().trimmed().replace(',', '.').toDouble(&ok);
        if (ok && std::isfinite(value)) *counters[i] = static_cast<float>(value);
        gLocoDataModified = 1;
        edtKmTellerExit(e);
        showKmCounters(loco);
    } else if (key == Qt::Key_Escape) {
        edtKmTellerExit(e);
        showKmCounters(loco);
    }
}

// ------------------------------------------------------------------- the wagons tab

void TfrmTrein::strgrdWagonsDrawCell(int row, QImage& picture) const {
    if (row < 0 || row >= static_cast<int>(gTrainList.size())) return;
    const WagonRec* w = gTrainList[static_cast<size_t>(row)];
    if (!w || w->kind == 'H') return;
    loadPhotoBitmap(kSmallWagonPhotos, w->photo, picture);
}

void TfrmTrein::strgrdWagonsTopLeftChanged() {
    const int top = strgrdWagons->rowAt(0);
    const int row = strgrdWagons->currentRow();
    if (top < 0 || row < 0) return;
    if (row < top) strgrdWagons->setCurrentCell(top, 0);
    else if (row > top + kVisibleGridRows - 1) strgrdWagons->setCurrentCell(top + kVisibleGridRows - 1, 0);
}

void TfrmTrein::strgrdWagonsDblClick() {
    const int row = strgrdWagons->currentRow();
    if (row < 0 || row >= static_cast<int>(gTrainList.size())) return;
    WagonRec* wagon = gTrainList[static_cast<size_t>(row)];
    if (!wagon) return;
    WagonRec* first = wagon;
    for (int guard = 0; first->previous && guard < kMaxWagons; ++guard) first = first->previous;
    gCurWagon = wagon;
    gCurWagonFirst = first;
    gEditMode = kWagonModeChain;
    if (!frmWagons) return;
    if (frmWagons->isVisible()) frmWagons->close();
    frmWagons->Tag = 0;
    frmWagons->show();
    frmWagons->raise();
}

void TfrmTrein::btnWagToevoegenClick() {
    LocoRec* loco = gCurTrain;
    if (!loco || !isTrainStoppedOnBlock(loco, 1)) return;
    if (static_cast<int>(gTrainList.size()) - 1 >= kMaxTrainWagons) {
        showDialogMessage("Maximaal aantal wagons reeds ingevoerd !", 1);
        return;
    }
    const int row = std::clamp(strgrdWagons->currentRow(), 0, static_cast<int>(gTrainList.size()));
    if (frmWagons && frmWagons->isVisible()) frmWagons->close();
    if (!demoRuns()) {
        if (!frmWagons) return;
        gEditMode = kWagonModeAdd;
        frmWagons->Tag = 0;
        if (frmWagons->exec() != QDialog::Accepted) return;
    }
    WagonRec* wagon = gCurWagon;
    if (!wagon || gCurTrain != loco || gWagons.indexOf(wagon) < 0) return;
    const PositionRec front = wagon->front;
    if (!coupleWagon(loco, wagon, row)) {
        couplingFailed(loco, wagon, row, front);
        return;
    }
    gLocoDataModified = 1;
    if (gNetOutFill < 1984) {
        vestrel::ByteWriter w;
        firstPositionBytes(loco, row, w);
        netQueueBlobRecord(30, 3, 52, loco->slot, wagon->slot, w.data().data(), static_cast<int>(w.size()));
    }
    gTrainList.insert(gTrainList.begin() + row, wagon);
    fillWagonGrid(strgrdWagons);
    strgrdWagons->setCurrentCell(row + 1, 0);
    setWagonKind(wagon, wagon->kind, wagon->number, 1);
    FormActivate();
}

void TfrmTrein::couplingFailed(LocoRec* loco, WagonRec* wagon, int row, const PositionRec&) {
    if (wagon->owner != loco) return;  // refused before anything was linked
    const PositionRec held = wagon->front;
    unlinkWagon(wagon, loco, 1);
    if (row == 0) headSideEnd(*loco) = held;
    checkTrainLength(loco);
    if (BlockRec* block = loco->run.head.block) {
        placeTrainOnBlock(loco, block, 2);
        drawTrain(loco);
    }
    rebuildTrainList(loco);
    fillWagonGrid(strgrdWagons);
}

void TfrmTrein::btnWagVerwijderenClick() {
    LocoRec* loco = gCurTrain;
    const int row = strgrdWagons->currentRow();
    if (!loco || row < 0 || row >= static_cast<int>(gTrainList.size())) return;
    WagonRec* wagon = gTrainList[static_cast<size_t>(row)];
    if (!wagon || gTrainList.size() < 2 || !isTrainStoppedOnBlock(loco, 1)) return;
    netQueueRecord(30, 3, 53, 0, wagon->slot, 0);
    setWagonKind(wagon, wagon->kind, wagon->number, 2);
    unlinkWagon(wagon, loco, 1);
    if (frmWagons && frmWagons->isVisible()) frmWagons->close();
    gTrainList.erase(gTrainList.begin() + row);
    fillWagonGrid(strgrdWagons);
    strgrdWagons->setCurrentCell(std::min(row, static_cast<int>(gTrainList.size())), 0);
    gLocoDataModified = 1;
    FormActivate();
}

// ------------------------------------------------------------------- closing and keys

void TfrmTrein::btnAfsluitenClick() { close(); }

void TfrmTrein::btnHelpClick() { showHelpTopic(kHelpTopic); }

void TfrmTrein::FormClose() {
    clearWagonGrid(strgrdWagons);
    gTrainList.clear();
    shownLoco = nullptr;
    Tag = 0;
    gActiveDialog = 0;
    LocoRec* loco = gCurTrain;
    if ((gChangeFlags & kChangedLocoData) && loco && gLocs.indexOf(loco) >= 0) {
        vestrel::ByteWriter w;
        encodeLoco(w, *loco, locoLinksOf(*loco));
        const uint8_t* block = w.data().data() + kLocoDataOffset;
        netQueueBlobRecord(30, 2, 37, loco->number, loco->slot, block, kLocoDataSize);
        netQueueBlobRecord(40, 2, 37, loco->number, loco->slot, block, kLocoDataSize);
    }
    gChangeFlags &= static_cast<uint8_t>(~kChangedLocoData);
}

void TfrmTrein::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TfrmTrein::closeEvent(QCloseEvent* event) {
    if (Tag != 0) FormClose();
    QDialog::closeEvent(event);
}

// Esc belongs to no button here; it only leaves an edited distance counter.
void TfrmTrein::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) return;
    QDialog::keyPressEvent(event);
}

bool TfrmTrein::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    auto* e = qobject_cast<QLineEdit*>(watched);
    const bool km = e && std::find(std::begin(kmEdits_), std::end(kmEdits_), e) != std::end(kmEdits_);
    if (type == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Space && watched != edtLocNaam && sessionRunning() && gEmergencyState == 0) {
            emergencyStopAll(1);
            return true;
        }
        if (km && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape)) {
            edtKmTellerKeyDown(e, key);
            return true;
        }
        if (watched == strgrdWagons && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            strgrdWagonsDblClick();
            return true;
        }
    } else if (type == QEvent::MouseButtonDblClick && km) {
        edtKmTellerDblClick(e);
        return true;
    } else if (type == QEvent::FocusOut) {
        if (km) edtKmTellerExit(e);
        else if (watched == edtMaxSnelh) edtMaxSnelhExit();
    } else if (type == QEvent::MouseButtonPress && watched == imgLocFoto) {
        imgLocFotoClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
