#include "operation/dialogs/untWagons.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <algorithm>

#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "operation/control/control_post.h"
#include "operation/control/emergency_stop.h"
#include "operation/control/loco_operation.h"
#include "operation/draw/train_drawing.h"
#include "operation/draw/vehicle_photos.h"
#include "operation/engine/helper_locos.h"
#include "operation/model/train_codec.h"
#include "operation/model/train_model.h"
#include "platform/byte_io.h"
#include "platform/paths.h"
#include "platform/text_codec.h"
#include "shell/config/help.h"
#include "shell/config/messages.h"
#include "shell/model/app_state.h"
#include "shell/window/form_setup.h"
#include "shell/window/status_line.h"

TfrmWagons* frmWagons = nullptr;
std::vector<WagonRec*> gWagonList;

namespace {

constexpr int kDialogCode = 16;
constexpr int kHelpTopic = 29;
constexpr int kVisibleRows = 10;
constexpr int kMaxLengthCm = 120;
constexpr int kMaxPercent = 100;
constexpr uint8_t kChangedWagon = 0x02;
constexpr int kColPhoto = 1, kColKind = 2, kColNumber = 3, kColDescription = 4, kColLength = 5, kColWeight = 6,
              kColPercent = 7;
constexpr const char* kWagonPhotos = "foto\\wag\\";
constexpr const char* kKindTexts[] = {"Personen", "Goederen", "Speciaal", "HulpLoc"};
constexpr char kKindLetters[] = {'P', 'G', 'S', 'H'};

// Modes (gEditMode when the form opens, kept in Tag).
constexpr int kModeAddToTrain = 3;
constexpr int kModeAll = 5;
constexpr int kModeChain = 8;
constexpr int kModePlace = 33;

QString text(const std::string& s) { return vestrel::fromCp1252(s); }
bool client() { return gNetMode == 40; }

// The typed number: its leading digits, 0 when there are none.
int typedNumber(const QString& s) {
    int64_t v = 0;
    for (QChar c : s.trimmed()) {
        if (!c.isDigit()) break;
        v = std::min<int64_t>(v * 10 + c.digitValue(), 999999999);
    }
    return static_cast<int>(v);
}

// Cell editors: the column's mask as its length and kind of characters; Enter commits and reaches the
// grid's key handling.
class WagonCellDelegate : public QStyledItemDelegate {
public:
    explicit WagonCellDelegate(TfrmWagons* form) : QStyledItemDelegate(form), form_(form) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override {
        auto* e = new QLineEdit(parent);
        const QString mask = form_->strgrdWagonsGetEditMask(index.column());
        e->setMaxLength(static_cast<int>(mask.size()));
        if (mask.startsWith('0')) e->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), e));
        const int row = index.row(), col = index.column();
        QObject::connect(e, &QLineEdit::textEdited, e, [this, e, row, col](const QString& t) {
            const QString shown = form_->strgrdWagonsSetEditText(row, col, t);
            if (shown != t) e->setText(shown);
        });
        return e;
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        model->setData(index, static_cast<QLineEdit*>(editor)->text());
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        if (index.column() != kColPhoto) return;
        QImage picture;
        form_->strgrdWagonsDrawCell(index.row(), picture);
        if (!picture.isNull()) painter->drawImage(option.rect, picture);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* editor = qobject_cast<QWidget*>(watched);
        if (editor && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                emit commitData(editor);
                emit closeEditor(editor, QAbstractItemDelegate::NoHint);
                form_->strgrdWagonsKeyPress(Qt::Key_Return);
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(watched, event);
    }

private:
    TfrmWagons* form_;
};

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int x, int y) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setGeometry(x, y, 85, 25);
    b->setAutoDefault(false);
    return b;
}

QComboBox* floatingCombo(QWidget* parent, const char* name) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->hide();
    return c;
}

// "blok 3", "verbindingsspoor", "wissel 7", or empty off the track.
std::string elementText(const PositionRec& p) {
    if (p.block) return "blok " + std::to_string(p.block->number);
    if (p.track) return "verbindingsspoor";
    if (p.turnout) return "wissel " + std::to_string(p.turnout->number);
    return {};
}

const void* elementOf(const PositionRec& p) {
    if (p.block) return p.block;
    if (p.track) return p.track;
    return p.turnout;
}

}  // namespace

// ------------------------------------------------------------------- shared helpers

int wagonKindIndex(char kind) {
    for (int i = 0; i < 4; ++i)
        if (kKindLetters[i] == kind) return i;
    return 2;
}

char wagonKindLetter(int position) { return position >= 0 && position < 4 ? kKindLetters[position] : 'S'; }

int selectComboItemByText(QComboBox* combo, const QString& value) {
    int found = -1;
    for (int i = 0; i < combo->count(); ++i)
        if (combo->itemText(i) == value) found = i;
    combo->setCurrentIndex(found);
    return found;
}

int selectComboItemByNumber(QComboBox* combo, int number) { return selectComboItemByText(combo, QString::number(number)); }

std::string vehicleLocationText(const WagonRec& wagon, bool narrow) {
    std::string s = "Locatie:  ";
    const std::string front = elementText(wagon.front);
    s += front.empty() ? "staat niet op de spoorbaan" : front;
    if (onTrack(wagon.rear) && elementOf(wagon.rear) != elementOf(wagon.front)) s += " - " + elementText(wagon.rear);
    if (narrow) s += "\n" + std::string(11, ' ');
    if (wagon.owner) s += "    verbonden aan locomotief " + std::to_string(wagon.owner->number);
    else s += "    niet verbonden aan een locomotief";
    return s;
}

void showVehicleLocation(const WagonRec* wagon, QLabel* label) {
    if (!label) return;
    if (!wagon) {
        label->clear();
        return;
    }
    label->setText(text(vehicleLocationText(*wagon, label->width() < 300)));
}

void commitWagonEdits(WagonRec* wagon) {
    if (!wagon || !(gChangeFlags & kChangedWagon)) return;
    vestrel::ByteWriter w;
    encodeWagon(w, *wagon, wagonLinksOf(*wagon, true));
    const uint8_t* data = w.data().data() + kWagonDataOffset;
    netQueueBlobRecord(30, 3, 37, 0, wagon->slot, data, kWagonDataSize);
    netQueueBlobRecord(40, 3, 37, 0, wagon->slot, data, kWagonDataSize);
    gChangeFlags &= static_cast<uint8_t>(~kChangedWagon);
    gLocoDataModified = 1;
}

// ------------------------------------------------------------------- the form

TfrmWagons::TfrmWagons(QWidget* parent) : TFormDialog(parent) {
    setupForm(this, "frmWagons", "Wagons", 640, 400);
    strgrdWagons = new QTableWidget(1, 8, this);
    strgrdWagons->setObjectName("strgrdWagons");
    strgrdWagons->setGeometry(10, 10, 620, 10 * 24 + 28);
    const int widths[8] = {23, 80, 70, 60, 180, 50, 60, 30};
    for (int c = 0; c < 8; ++c) strgrdWagons->setColumnWidth(c, widths[c]);
    strgrdWagons->setHorizontalHeaderLabels({"", "Foto", "Soort", "Nummer", "Omschrijving", "Lengte", "Gewicht", "%"});
    strgrdWagons->verticalHeader()->hide();
    strgrdWagons->verticalHeader()->setDefaultSectionSize(24);
    strgrdWagons->setSelectionMode(QAbstractItemView::SingleSelection);
    strgrdWagons->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                  QAbstractItemView::AnyKeyPressed);
    strgrdWagons->setItemDelegate(new WagonCellDelegate(this));
    cboWagonFoto = floatingCombo(this, "cboWagonFoto");
    for (const std::string& n : photoNamesIn(kWagonPhotos)) cboWagonFoto->addItem(text(n));
    cboWagonSoort = floatingCombo(this, "cboWagonSoort");
    for (const char* k : kKindTexts) cboWagonSoort->addItem(k);
    cboWagonNummer = floatingCombo(this, "cboWagonNummer");
    imgWagon = new QLabel(this);
    imgWagon->setObjectName("imgWagon");
    imgWagon->setGeometry(10, 290, 240, 60);
    imgWagon->setScaledContents(true);
    lblWagonInfo = new QLabel(this);
    lblWagonInfo->setObjectName("lblWagonInfo");
    lblWagonInfo->setGeometry(260, 290, 370, 40);
    lblWagonInfo->setWordWrap(true);  // both ends and the owner take two lines in a wide font
    btnNieuw = button(this, "btnNieuw", "Nieuw", 10, 360);
    btnVerwijderen = button(this, "btnVerwijderen", "Verwijderen", 100, 360);
    btnOK = button(this, "btnOK", "OK", 355, 360);
    btnHelp = button(this, "btnHelp", "Help", 445, 360);
    btnAfsluiten = button(this, "btnAfsluiten", "Afsluiten", 535, 360);
    connect(btnNieuw, &QPushButton::clicked, this, [this] { btnNieuwClick(true); });
    connect(btnVerwijderen, &QPushButton::clicked, this, [this] { btnVerwijderenClick(true); });
    connect(btnOK, &QPushButton::clicked, this, [this] { accept(); });
    connect(btnHelp, &QPushButton::clicked, this, &TfrmWagons::btnHelpClick);
    connect(btnAfsluiten, &QPushButton::clicked, this, &TfrmWagons::btnAfsluitenClick);
    connect(strgrdWagons, &QTableWidget::currentCellChanged, this,
            [this](int row, int col, int, int) { strgrdWagonsSelectCell(row, col); });
    connect(strgrdWagons->verticalScrollBar(), &QScrollBar::valueChanged, this, &TfrmWagons::strgrdWagonsTopLeftChanged);
    connect(cboWagonFoto, &QComboBox::activated, this, &TfrmWagons::cboWagonFotoChange);
    connect(cboWagonSoort, &QComboBox::activated, this, &TfrmWagons::cboWagonSoortChange);
    connect(cboWagonNummer, &QComboBox::activated, this, &TfrmWagons::cboWagonNummerChange);
    for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
}

void TfrmWagons::applyMode() {
    const int mode = static_cast<int>(gEditMode);
    const bool offTrackOnly = mode == kModeAddToTrain || mode == kModePlace;
    Tag = mode == kModeAddToTrain || mode == kModeAll || mode == kModePlace ? mode : kModeChain;
    gWagonList.clear();
    if (Tag == kModeChain) {
        for (WagonRec* w : chainWagons(gCurWagonFirst)) gWagonList.push_back(w);
    } else {
        for (int i = offTrackOnly ? gWagonCounts.coupledEnd : 0; i < gWagonTotal; ++i) gWagonList.push_back(gWagons[i]);
        gCurWagon = gCurWagonFirst = gWagonList.empty() ? nullptr : gWagonList.front();
    }
    switch (Tag) {
    case kModeAddToTrain:
        setWindowTitle("Wagon toevoegen aan locomotief");
        btnNieuw->show();
        btnVerwijderen->show();
        btnOK->show();
        btnAfsluiten->setText("Annuleren");
        break;
    case kModeAll:
    case kModePlace:
        setWindowTitle(Tag == kModeAll ? "Wagons toevoegen/verwijderen/wijzigen" : "Wagon op het spoor zetten");
        btnNieuw->show();
        btnVerwijderen->show();
        break;
    default: setWindowTitle("Wagons wijzigen"); break;
    }
    if (client()) {
        btnNieuw->hide();
        btnVerwijderen->hide();
        btnOK->hide();
    }
}

void TfrmWagons::FormActivate() {
    filling_ = true;
    if (Tag == 0) {
        clearWagonTable();
        strgrdWagons->setEnabled(true);
        imgWagon->setEnabled(true);
        for (QPushButton* b : {btnNieuw, btnVerwijderen, btnOK, btnAfsluiten}) b->setEnabled(true);
        for (QWidget* w : {static_cast<QWidget*>(cboWagonFoto), static_cast<QWidget*>(cboWagonSoort),
                           static_cast<QWidget*>(cboWagonNummer), static_cast<QWidget*>(btnOK),
                           static_cast<QWidget*>(btnNieuw), static_cast<QWidget*>(btnVerwijderen)})
            w->hide();
        btnAfsluiten->setText("Afsluiten");
        applyMode();
        gEditMode = 0;
        cboWagonNummer->clear();
        for (const LocoRec* l : gLocs)
            if (gLocsOnTrack.indexOf(l) < 0 && !l->frontChain) cboWagonNummer->addItem(QString::number(l->number));
        fillWagonTable();
        drawPicture();
    }
    gActiveDialog = kDialogCode;
    if (gCurWagon && gWagons.indexOf(gCurWagon) < 0) gCurWagon = nullptr;
    if (gCurWagon) {
        const auto at = std::find(gWagonList.begin(), gWagonList.end(), gCurWagon);
        const int row = static_cast<int>(at - gWagonList.begin());
        if (at != gWagonList.end() && strgrdWagons->currentRow() != row) strgrdWagons->setCurrentCell(row, kColDescription);
        showLocationAndDelete();
        btnOK->setEnabled(true);
    } else {
        btnVerwijderen->setEnabled(false);
        btnOK->setEnabled(false);
        for (QComboBox* c : {cboWagonFoto, cboWagonSoort, cboWagonNummer}) c->hide();
        lblWagonInfo->clear();
        QImage blank;
        loadPhotoBitmap(kWagonPhotos, "", blank);
        showPhoto(blank);
    }
    if (gDemoStep != 0) {
        for (QWidget* w : {static_cast<QWidget*>(strgrdWagons), static_cast<QWidget*>(imgWagon),
                           static_cast<QWidget*>(btnNieuw), static_cast<QWidget*>(btnVerwijderen),
                           static_cast<QWidget*>(btnOK), static_cast<QWidget*>(btnAfsluiten)})
            w->setEnabled(false);
    }
    filling_ = false;
}

bool TfrmWagons::deletable(const WagonRec* w) const { return w && !onTrack(w->front) && !w->owner; }

void TfrmWagons::showLocationAndDelete() {
    showVehicleLocation(gCurWagon, lblWagonInfo);
    btnVerwijderen->setEnabled(deletable(gCurWagon));
}

void TfrmWagons::drawPicture() {
    if (gCurWagon) buildTrainPicture(gCurWagon, nullptr);
}

void TfrmWagons::showPhoto(const QImage& picture) { imgWagon->setPixmap(QPixmap::fromImage(picture)); }

// ------------------------------------------------------------------- rows

void TfrmWagons::fillWagonTableRow(WagonRec* w, int row) {
    if (!w || row < 0) return;
    if (strgrdWagons->rowCount() <= row) strgrdWagons->setRowCount(row + 1);
    const bool wasFilling = filling_;
    filling_ = true;
    auto set = [&](int col, const QString& s, bool editable) {
        auto* item = new QTableWidgetItem(s);
        if (!editable) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        strgrdWagons->setItem(row, col, item);
    };
    set(0, QString::number(row + 1), false);
    set(kColPhoto, QString(), false);
    set(kColKind, kKindTexts[wagonKindIndex(w->kind)], false);
    set(kColNumber, QString::number(w->number), w->kind != 'H');
    set(kColDescription, text(w->description), true);
    set(kColLength, QString::number(w->lengthCm), true);
    set(kColWeight, QString::number(w->weight), true);
    set(kColPercent, QString::number(w->percent), true);
    if (row == strgrdWagons->currentRow()) placeCombos(row, strgrdWagons->currentColumn());
    filling_ = wasFilling;
}

void TfrmWagons::clearWagonTableRow(int row) {
    if (row < 0 || row >= strgrdWagons->rowCount()) return;
    for (int c = 0; c < 8; ++c) {
        auto* item = new QTableWidgetItem();
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        strgrdWagons->setItem(row, c, item);
    }
}

void TfrmWagons::fillWagonTable() {
    strgrdWagons->setRowCount(std::max<int>(1, static_cast<int>(gWagonList.size())));
    if (gWagonList.empty()) clearWagonTableRow(0);
    for (size_t r = 0; r < gWagonList.size(); ++r) fillWagonTableRow(gWagonList[r], static_cast<int>(r));
}

void TfrmWagons::clearWagonTable() {
    const bool wasFilling = filling_;
    filling_ = true;
    strgrdWagons->setRowCount(1);
    clearWagonTableRow(0);
    strgrdWagons->setCurrentCell(0, kColDescription);
    filling_ = wasFilling;
}

void TfrmWagons::refreshPercent(const WagonRec* w) {
    const auto at = std::find(gWagonList.begin(), gWagonList.end(), w);
    if (!isVisible() || !w || at == gWagonList.end()) return;
    strgrdWagons->item(static_cast<int>(at - gWagonList.begin()), kColPercent)->setText(QString::number(w->percent));
}

void TfrmWagons::refreshRow(const WagonRec* w) {
    const auto at = std::find(gWagonList.begin(), gWagonList.end(), w);
    if (!isVisible() || !w || at == gWagonList.end()) return;
    fillWagonTableRow(*at, static_cast<int>(at - gWagonList.begin()));
    if (w == gCurWagon) drawPicture();
}

void TfrmWagons::strgrdWagonsDrawCell(int row, QImage& picture) const {
    if (row < 0 || row >= static_cast<int>(gWagonList.size())) return;
    buildTrainPicture(gWagonList[static_cast<size_t>(row)], &picture);
}

// ------------------------------------------------------------------- selecting and editing

void TfrmWagons::placeCombos(int row, int col) {
    WagonRec* w = row >= 0 && row < static_cast<int>(gWagonList.size()) ? gWagonList[static_cast<size_t>(row)] : nullptr;
    for (QComboBox* c : {cboWagonFoto, cboWagonSoort, cboWagonNummer}) c->hide();
    if (!w) return;
    QRect cell = strgrdWagons->visualRect(strgrdWagons->model()->index(row, col));
    if (!strgrdWagons->viewport()->rect().contains(cell.topLeft())) return;
    cell.moveTopLeft(strgrdWagons->viewport()->mapTo(this, cell.topLeft()));
    QComboBox* shown = nullptr;
    if (col == kColPhoto && w->kind != 'H') {
        shown = cboWagonFoto;
        selectComboItemByText(cboWagonFoto, text(w->photo));
    } else if (col == kColKind) {
        shown = cboWagonSoort;
        cboWagonSoort->setCurrentIndex(wagonKindIndex(w->kind));
    } else if (col == kColNumber && w->kind == 'H') {
        shown = cboWagonNummer;
        selectComboItemByNumber(cboWagonNummer, w->number);
    }
    if (!shown) return;
    shown->setGeometry(cell.x(), cell.y(), std::max(cell.width(), 80), cell.height());
    shown->show();
    shown->raise();
}

void TfrmWagons::strgrdWagonsSelectCell(int row, int col) {
    if (filling_ || row < 0 || row >= static_cast<int>(gWagonList.size())) return;
    WagonRec* w = gWagonList[static_cast<size_t>(row)];
    if (gCurWagon && gCurWagon != w) commitWagonEdits(gCurWagon);
    const bool rowChanged = gCurWagon != w;
    gCurWagon = w;
    placeCombos(row, col);
    if (rowChanged) drawPicture();
    showLocationAndDelete();
}

void TfrmWagons::strgrdWagonsTopLeftChanged() {
    const int top = strgrdWagons->rowAt(0);
    const int row = strgrdWagons->currentRow();
    if (top < 0 || row < 0) return;
    if (row < top) strgrdWagons->setCurrentCell(top, strgrdWagons->currentColumn());
    else if (row > top + kVisibleRows - 1) strgrdWagons->setCurrentCell(top + kVisibleRows - 1, strgrdWagons->currentColumn());
    placeCombos(strgrdWagons->currentRow(), strgrdWagons->currentColumn());
}

QString TfrmWagons::strgrdWagonsGetEditMask(int col) const {
    switch (col) {
    case 0: return "000";
    case kColPhoto: return "CCCCCCCCCC";
    case kColKind: return "LLLLLLLLL";
    case kColNumber: return "000000000";
    case kColDescription: return QString(kWagonDescriptionSize - 1, 'c');
    case kColLength: return "000";  // room for the cap of 120 cm to be typed
    case kColWeight: return "000000000";
    case kColPercent: return "000";
    default: return {};
    }
}

void TfrmWagons::markChanged() { gChangeFlags |= kChangedWagon; }

QString TfrmWagons::strgrdWagonsSetEditText(int row, int col, const QString& typed) {
    if (gWagonList.empty() || row < 0 || row >= static_cast<int>(gWagonList.size())) return {};
    WagonRec* w = gWagonList[static_cast<size_t>(row)];
    const int v = typedNumber(typed);
    int shown = v;
    switch (col) {
    case kColNumber:
        if (w->kind != 'H') w->number = v;
        break;
    case kColDescription: w->description = vestrel::toCp1252(typed).substr(0, kWagonDescriptionSize - 1); break;
    case kColLength: shown = std::min(v, kMaxLengthCm); break;
    case kColWeight: w->weight = static_cast<uint32_t>(v); break;
    case kColPercent:
        shown = std::min(v, kMaxPercent);
        w->percent = static_cast<uint8_t>(shown);
        break;
    default: return typed;
    }
    markChanged();
    return shown != v ? QString::number(shown) : typed;
}

void TfrmWagons::strgrdWagonsKeyPress(int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return;
    const int col = strgrdWagons->currentColumn();
    const int row = strgrdWagons->currentRow();
    WagonRec* w = row >= 0 && row < static_cast<int>(gWagonList.size()) ? gWagonList[static_cast<size_t>(row)] : nullptr;
    if (!w) return;
    if (col == kColPhoto || col == kColKind || col == kColNumber) {
        QComboBox* combo = col == kColPhoto ? cboWagonFoto : col == kColKind ? cboWagonSoort : cboWagonNummer;
        if (combo->isVisible()) combo->setFocus();
        else commitWagonEdits(w);
    } else if (col == kColLength) {
        QTableWidgetItem* item = strgrdWagons->item(row, col);
        w->lengthCm = static_cast<uint8_t>(std::min(typedNumber(item ? item->text() : QString()), kMaxLengthCm));
        applyWagonLength(w);  // refills the wagon's row: the cell's item is a new one
        if (QTableWidgetItem* shown = strgrdWagons->item(row, col)) shown->setText(QString::number(w->lengthCm));
        markChanged();
    } else {
        commitWagonEdits(w);
    }
}

void TfrmWagons::cboWagonFotoEnter() {
    cancelActive_ = false;
}

void TfrmWagons::cboWagonFotoExit() { cancelActive_ = true; }

void TfrmWagons::cboWagonFotoKeyDown(int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Escape) return;
    strgrdWagons->setFocus();
}

void TfrmWagons::cboWagonFotoChange() {
    WagonRec* w = gCurWagon;
    const std::string photo = vestrel::toCp1252(cboWagonFoto->currentText());
    if (!w || photo.empty() || photo.size() >= kPhotoNameSize) return;
    w->photo = photo;
    refreshRow(w);
    drawPicture();
    markChanged();
}

void TfrmWagons::cboWagonSoortChange() {
    WagonRec* w = gCurWagon;
    if (!w || cboWagonSoort->currentIndex() < 0) return;
    const char oldKind = w->kind;
    const char kind = wagonKindLetter(cboWagonSoort->currentIndex());
    setWagonKind(w, kind, w->number, 0);
    redrawWagonKind(w, oldKind, w->kind);
    const int row = strgrdWagons->currentRow();
    if (QTableWidgetItem* item = strgrdWagons->item(row, kColKind)) item->setText(cboWagonSoort->currentText());
    refreshRow(w);
    markChanged();
}

void TfrmWagons::cboWagonNummerChange() {
    WagonRec* w = gCurWagon;
    if (!w || cboWagonNummer->currentIndex() < 0) return;
    setWagonKind(w, w->kind, cboWagonNummer->currentText().toInt(), 0);
    markChanged();
}

void TfrmWagons::imgWagonClick() {
    WagonRec* w = gCurWagon;
    if (!w || w->kind == 'H') return;
    const QString start = QString::fromStdString(vestrel::resolvePath("foto\\wag"));
    const QString chosen = QFileDialog::getOpenFileName(this, QString(), start, "*.bmp");
    if (chosen.isEmpty()) return;
    const std::string photo = photoNameOfChosenFile(kWagonPhotos, chosen.toStdString());
    if (photo.empty()) return;
    w->photo = photo;
    drawPicture();
    selectComboItemByText(cboWagonFoto, text(photo));
    refreshRow(w);
    markChanged();
}

// ------------------------------------------------------------------- new and delete

void TfrmWagons::btnNieuwClick(bool withSender) {
    if (gWagons.full()) {
        if (withSender) showDialogMessage("Maximaal aantal wagons reeds ingevoerd !", 1);
        return;
    }
    auto rec = std::make_unique<WagonRec>();
    rec->kind = 'P';
    rec->lengthCm = 15;
    rec->lengthUnits = static_cast<uint8_t>(wagonLengthUnits(15));
    WagonRec* w = gWagons.append(std::move(rec));
    if (!w) {
        fatalOutOfMemory();
        return;
    }
    netQueueRecord(30, 3, 0, 0, 0, 0);
    if (!withSender) return;
    gWagonList.push_back(w);
    const int row = static_cast<int>(gWagonList.size()) - 1;
    fillWagonTableRow(w, row);
    gCurWagon = w;
    strgrdWagons->setCurrentCell(row, kColDescription);
    FormActivate();
    gLocoDataModified = 1;
}

void TfrmWagons::btnVerwijderenClick(bool withSender) {
    WagonRec* w = gCurWagon;
    if (withSender) {
        const int row = strgrdWagons->currentRow();
        w = row >= 0 && row < static_cast<int>(gWagonList.size()) ? gWagonList[static_cast<size_t>(row)] : nullptr;
        if (!w || showDialogMessage("", 2) != 1) return;
    }
    const int index = gWagons.indexOf(w);
    if (!w || index < gWagonCounts.coupledEnd || index >= gWagonTotal) return;
    netQueueRecord(30, 3, 42, 0, w->slot, 0);
    const auto at = std::find(gWagonList.begin(), gWagonList.end(), w);
    const int row = static_cast<int>(at - gWagonList.begin());
    deleting_ = withSender;
    freeWagonSlot(index);
    deleting_ = false;
    if (!withSender) return;
    if (at != gWagonList.end()) gWagonList.erase(at);
    fillWagonTable();
    const int selected = std::min(row, static_cast<int>(gWagonList.size()) - 1);
    gCurWagon = selected >= 0 ? gWagonList[static_cast<size_t>(selected)] : nullptr;
    if (selected >= 0) strgrdWagons->setCurrentCell(selected, kColDescription);
    drawPicture();
    FormActivate();
    gLocoDataModified = 1;
}

bool TfrmWagons::listsChainOf(const LocoRec* loco) const {
    if (!isVisible() || Tag != kModeChain) return false;
    return std::any_of(gWagonList.begin(), gWagonList.end(), [loco](const WagonRec* w) { return w->owner == loco; });
}

void TfrmWagons::wagonFreed(const WagonRec* wagon) {
    if (deleting_) return;
    const bool listed = !wagon || std::find(gWagonList.begin(), gWagonList.end(), wagon) != gWagonList.end();
    if (!listed) return;
    if (isVisible()) close();
    gWagonList.clear();
}

// ------------------------------------------------------------------- closing and keys

void TfrmWagons::btnAfsluitenClick() {
    commitWagonEdits(gCurWagon);
    reject();
}

void TfrmWagons::btnHelpClick() { showHelpTopic(kHelpTopic); }

void TfrmWagons::FormClose() {
    gWagonList.clear();
    clearWagonTable();
    lblWagonInfo->clear();
    gEditMode = 0;
    clearStatusLine();
    Tag = 0;
    gActiveDialog = 0;
}

void TfrmWagons::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TfrmWagons::closeEvent(QCloseEvent* event) {
    if (Tag != 0) FormClose();
    QDialog::closeEvent(event);
}

// Esc is the cancel button's ("Afsluiten", or "Annuleren" when adding), unless a floating list has
// taken the role away.
void TfrmWagons::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        if (cancelActive_) btnAfsluitenClick();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return;
    QDialog::keyPressEvent(event);
}

bool TfrmWagons::eventFilter(QObject* watched, QEvent* event) {
    auto* combo = qobject_cast<QComboBox*>(watched);
    const bool floating = combo && (combo == cboWagonFoto || combo == cboWagonSoort || combo == cboWagonNummer);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (watched == imgWagon) {
            imgWagonClick();
            return true;
        }
        break;
    case QEvent::FocusIn:
        if (floating) cboWagonFotoEnter();
        break;
    case QEvent::FocusOut:
        if (floating) cboWagonFotoExit();
        break;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Space && sessionRunning() && gEmergencyState == 0 &&
            !(watched != strgrdWagons && strgrdWagons->currentColumn() == kColDescription && strgrdWagons->isAncestorOf(static_cast<QWidget*>(watched))) &&
            !(watched == strgrdWagons && strgrdWagons->currentColumn() == kColDescription)) {
            emergencyStopAll(1);
            return true;
        }
        if (floating && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape)) {
            cboWagonFotoKeyDown(key);
            return true;
        }
        if (watched == strgrdWagons && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            strgrdWagonsKeyPress(key);
            return true;
        }
        break;
    }
    default: break;
    }
    return QDialog::eventFilter(watched, event);
}
