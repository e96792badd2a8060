#include "layout/dialogs/untSektie.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <algorithm>

#include "layout/draw/element_draw.h"
#include "layout/editor/edit_journal.h"
#include "layout/editor/editor_state.h"
#include "layout/editor/entry_handoff.h"
#include "layout/editor/entry_state.h"
#include "layout/editor/section_numbers.h"
#include "layout/editor/track_entry.h"
#include "layout/model/block_geometry.h"
#include "layout/model/layout_codec.h"
#include "network/model/net_queue.h"
#include "operation/model/length_units.h"
#include "shell/config/messages.h"
#include "shell/model/app_state.h"
#include "shell/model/schema_state.h"
#include "shell/window/form_setup.h"
#include "shell/window/mouse_pointer.h"

TfrmSektie* frmSektie = nullptr;

namespace {

constexpr int kDialogCode = 6;
constexpr int kMaxBlockNumber = 200;
constexpr int kMaxSpeed = 255;
constexpr int kMaxWait = 3600;
constexpr int kMaxContact = 496;
constexpr uint8_t kLoopFlag = 1;
constexpr uint8_t kLayerFlags = 2 | 4 | 8;
constexpr uint8_t kPassengerWaitFlag = 16;
constexpr uint8_t kLayerOfRadio[4] = {0, 2, 4, 8};
constexpr uint8_t kTrainBits[5] = {1, 2, 4, 8, 0x80};

const char* const kKindTexts[7] = {"S0: geen bezetmelding",   "S1: stopsectie",          "S2: station",
                                   "S3: station korte trein", "S4: station korte trein", "S5: station",
                                   "S6: stopsectie"};

bool beingInserted(const BlockRec* b) { return b && b == gEntered.block.get(); }
bool demoRunning() { return gDemoStep != 0; }

BlockRec* blockNumbered(int number, const BlockRec* except) {
    for (BlockRec* b : gBlocks)
        if (b != except && b->number == number) return b;
    return nullptr;
}

// The blocks whose contacts count: the table and a block being inserted.
template <class Visit>
void forEachBlock(Visit visit) {
    for (BlockRec* b : gBlocks) visit(*b);
    if (gInsertingBlock && gEntered.block) visit(*gEntered.block);
}

void markIncomplete(BlockRec& b) {
    b.state &= static_cast<uint8_t>(~kBlockIncomplete);
    for (int s = 0; s < std::min<int>(b.sections, kMaxSections); ++s)
        if (b.sectionKinds[s] != 0 && b.sectionInputs[s + 1] == 0) b.state |= kBlockIncomplete;
}

QComboBox* comboOf(QWidget* parent, const char* name, const QStringList& items) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->addItems(items);
    return box;
}

QCheckBox* checkOf(QWidget* parent, const char* name, const char* text, int x, int y, int width) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    box->setGeometry(x, y, width, 20);
    return box;
}

}  // namespace

TfrmSektie::TfrmSektie(QWidget* parent) : TElementDialog(parent) {
    setupForm(this, "frmSektie", "Gegevens blok", 520, 470);
    edtNummer = addNumberField(this, "edtNummer", QString("Bloknummer (1 tot %1)").arg(kMaxBlockNumber), 3, 10);
    pnlPlusMin1 = new TPlusMinPanel(this, "pnlPlusMin1", [this](int button) { pnlPlusMin1MouseDown(button); });
    pnlPlusMin1->move(240, 10);

    grpAuto = new QGroupBox("MODE AUTO", this);
    grpAuto->setObjectName("grpAuto");
    grpAuto->setGeometry(10, 36, 500, 150);
    edtSnelheid = addNumberField(grpAuto, "edtSnelheid", QString("Snelheid in km/h (0 tot %1)").arg(kMaxSpeed), 3, 20);
    edtWachttijd = addNumberField(grpAuto, "edtWachttijd", QString("Wachttijd in sec (0 tot %1)").arg(kMaxWait), 4, 46);
    cboRichting = comboOf(grpAuto, "cboRichting", {"Heen", "Terug", "Beide"});
    cboRichting->setGeometry(300, 20, 90, 22);
    const struct {
        QCheckBox*& box;
        const char* name;
        const char* text;
    } trains[] = {{chboPersonen, "chboPersonen", "P"},
                  {chboGoederen, "chboGoederen", "G"},
                  {chboRangeer, "chboRangeer", "R"},
                  {chboAndere, "chboAndere", "A"},
                  {chboBovenleiding, "chboBovenleiding", "Bovenleiding"}};
    int x = 10;
    for (const auto& t : trains) {
        t.box = checkOf(grpAuto, t.name, t.text, x, 74, t.box == chboBovenleiding ? 110 : 40);
        x += 45;
    }
    chboWachtPers = checkOf(grpAuto, "chboWachtPers", "enkel personentrein", 300, 46, 180);
    QStringList slopes;
    for (int k = -4; k <= 4; ++k) slopes << (k > 0 ? QString("+%1").arg(k) : QString::number(k));
    cboSnelhcorrBocht = comboOf(grpAuto, "cboSnelhcorrBocht", {"0", "+1", "+2", "+3", "+4"});
    cboSnelhcorrBocht->setGeometry(10, 110, 60, 22);
    cboSnelhcorrHeen = comboOf(grpAuto, "cboSnelhcorrHeen", slopes);
    cboSnelhcorrHeen->setGeometry(90, 110, 60, 22);
    cboSnelhcorrTerug = comboOf(grpAuto, "cboSnelhcorrTerug", slopes);
    cboSnelhcorrTerug->setGeometry(170, 110, 60, 22);

    chboKeerlus = checkOf(this, "chboKeerlus", "Keerlus", 10, 192, 90);
    for (int k = 0; k < 4; ++k) {
        radbtnLaag[k] = new QRadioButton(QString::number(k), this);
        radbtnLaag[k]->setObjectName(QString("radbtnLaag%1").arg(k));
        radbtnLaag[k]->setGeometry(120 + 45 * k, 192, 40, 20);
    }

    strgrdSecties = new QTableWidget(2, 4, this);
    strgrdSecties->setObjectName("strgrdSecties");
    strgrdSecties->setHorizontalHeaderLabels({"lijn", "sectiesoort", "nr", "lengte"});
    strgrdSecties->verticalHeader()->hide();
    strgrdSecties->setEditTriggers(QAbstractItemView::NoEditTriggers);
    strgrdSecties->setSelectionMode(QAbstractItemView::SingleSelection);
    strgrdSecties->setGeometry(10, 218, 420, 200);
    strgrdSecties->setColumnWidth(0, 40);
    strgrdSecties->setColumnWidth(1, 190);
    strgrdSecties->setColumnWidth(2, 60);
    strgrdSecties->setColumnWidth(3, 70);
    QStringList kinds;
    for (const char* k : kKindTexts) kinds << k;
    cboSecSoort = comboOf(this, "cboSecSoort", kinds);
    cboSecSoort->hide();
    edtSecNr = new QLineEdit(this);
    edtSecNr->setObjectName("edtSecNr");
    edtSecNr->setMaxLength(3);
    edtSecNr->hide();
    pnlPlusMin2 = new TPlusMinPanel(this, "pnlPlusMin2", [this](int button) { pnlPlusMin2MouseDown(button); });
    pnlPlusMin2->hide();
    lblBloklengte = new QLabel(this);
    lblBloklengte->setObjectName("lblBloklengte");
    lblBloklengte->setGeometry(440, 218, 70, 17);

    addButtons(430, 8);
    connect(btnOK, &QPushButton::clicked, this, &TfrmSektie::btnOKClick);
    connect(edtNummer, &QLineEdit::textEdited, this, &TfrmSektie::edtNummerChange);
    connect(edtSnelheid, &QLineEdit::textChanged, this, &TfrmSektie::edtSnelheidChange);
    connect(edtWachttijd, &QLineEdit::textChanged, this, &TfrmSektie::edtWachttijdChange);
    connect(strgrdSecties, &QTableWidget::currentCellChanged, this,
            [this](int row, int column, int, int) { strgrdSectiesSelectCell(row, column); });
    connect(cboSecSoort, &QComboBox::activated, this, &TfrmSektie::cboSecSoortClick);
    connect(edtSecNr, &QLineEdit::editingFinished, this, &TfrmSektie::edtSecNrExit);
    watchKeys();
}

int TfrmSektie::section() const {
    const BlockRec* b = gSelectedBlock;
    const int row = strgrdSecties->currentRow();
    if (!b || row < 0 || row >= std::min<int>(b->sections, kMaxSections)) return -1;
    return row;
}

void TfrmSektie::setPropertiesEnabled(bool enabled) {
    for (QWidget* w : std::initializer_list<QWidget*>{
             edtSnelheid, edtWachttijd, chboWachtPers, cboRichting, chboPersonen, chboGoederen, chboRangeer, chboAndere,
             chboBovenleiding, radbtnLaag[0], radbtnLaag[1], radbtnLaag[2], radbtnLaag[3], chboKeerlus,
             cboSnelhcorrBocht, cboSnelhcorrHeen, cboSnelhcorrTerug, strgrdSecties})
        w->setEnabled(enabled);
}

void TfrmSektie::FormActivate() {
    if (gActiveDialog != kDialogCode) {
        showMousePointer();
        edtNummer->setEnabled(true);
        edtNummer->setFocus();
        cboRichting->setCurrentIndex(-1);
        btnAnnuleren->setEnabled(true);
        if (demoRunning()) {
            edtNummer->setEnabled(false);
            btnOK->setEnabled(false);
            btnAnnuleren->setEnabled(false);
            setPropertiesEnabled(false);
            cboSecSoort->hide();
            edtSecNr->hide();
            pnlPlusMin2->hide();
        }
        pnlPlusMin1->setVisible(!sessionRunning() && !demoRunning());
    }
    gActiveDialog = kDialogCode;
    BlockRec* b = gSelectedBlock;
    if (b && (fieldValue(edtNummer) != b->number || edtNummer->text().isEmpty() || cboRichting->currentIndex() < 0)) {
        setFieldValue(edtNummer, b->number);
        setFieldValue(edtSnelheid, b->speed);
        setFieldValue(edtWachttijd, b->waitTime);
        chboWachtPers->setChecked(b->flags & kPassengerWaitFlag);
        cboRichting->setCurrentIndex(b->allowedDirection == 'H' ? 0 : b->allowedDirection == 'T' ? 1 : 2);
        QCheckBox* trainBoxes[5] = {chboPersonen, chboGoederen, chboRangeer, chboAndere, chboBovenleiding};
        for (int k = 0; k < 5; ++k) trainBoxes[k]->setChecked(b->allowedTrains & kTrainBits[k]);
        int layer = 0;
        for (int k = 1; k < 4; ++k)
            if (b->flags & kLayerOfRadio[k]) layer = k;
        radbtnLaag[layer]->setChecked(true);
        chboKeerlus->setChecked(b->flags & kLoopFlag);
        cboSnelhcorrBocht->setCurrentIndex(std::clamp<int>(b->bendCorrection, 0, 4));
        cboSnelhcorrHeen->setCurrentIndex(std::clamp<int>(b->outwardSlope, 0, 8));
        cboSnelhcorrTerug->setCurrentIndex(std::clamp<int>(b->returnSlope, 0, 8));
        const int count = std::clamp<int>(b->sections, 1, kMaxSections);
        b->sectionKinds[0] = 1;
        b->sectionKinds[count - 1] = 6;
        setFieldValue(edtSecNr, b->sectionInputs[1]);
        cboSecSoort->setCurrentIndex(b->sectionKinds[0]);
        clearSectionGrid();
        fillSectionGrid();
        for (int s = count; s < kMaxSections; ++s) {
            b->sectionInputs[s + 1] = 0;
            b->sectionKinds[s] = 0;
        }
        for (int s = 0; s < kMaxSections; ++s) {
            backupInputs[s] = b->sectionInputs[s + 1];
            backupKinds[s] = b->sectionKinds[s];
        }
    }
    if (!demoRunning()) {
        setPropertiesEnabled(true);
        btnOK->setEnabled(true);
    }
    if (sessionRunning()) {
        if (!b) {
            for (QWidget* w : std::initializer_list<QWidget*>{
                     edtSnelheid, edtWachttijd, chboPersonen, chboGoederen, chboRangeer, chboAndere, chboBovenleiding,
                     chboWachtPers, radbtnLaag[0], radbtnLaag[1], radbtnLaag[2], radbtnLaag[3], cboSnelhcorrBocht,
                     cboSnelhcorrHeen, cboSnelhcorrTerug, btnOK})
                w->setEnabled(false);
        }
        cboRichting->setEnabled(false);
        chboKeerlus->setEnabled(false);
        strgrdSecties->setEnabled(false);
        cboSecSoort->hide();
        edtSecNr->hide();
        pnlPlusMin1->hide();
        pnlPlusMin2->hide();
    }
    pnlPlusMin1->setVisible(b && edtNummer->isEnabled() && !sessionRunning());
    pnlPlusMin2->setVisible(b && !edtSecNr->isHidden());
}

void TfrmSektie::fillSectionGrid() {
    BlockRec* b = gSelectedBlock;
    if (!b) return;
    computeBlockGeometry(*b);
    lblBloklengte->setText(QString::number(toCentimetresRounded(b->totalLength)));
    const int count = std::min<int>(b->sections, kMaxSections);
    strgrdSecties->setRowCount(std::max(count, 2));
    for (int s = 0; s < count; ++s) {
        strgrdSecties->setItem(s, 0, new QTableWidgetItem(QString::number(s + 1)));
        showSectionRow(s);
        strgrdSecties->setItem(s, 3, new QTableWidgetItem(QString::number(toCentimetresRounded(b->sectionLengths[s]))));
    }
}

void TfrmSektie::clearSectionGrid() {
    strgrdSecties->clearContents();
    strgrdSecties->setRowCount(2);
}

void TfrmSektie::showSectionRow(int s) {
    const BlockRec* b = gSelectedBlock;
    if (!b || s < 0 || s >= kMaxSections) return;
    strgrdSecties->setItem(s, 1, new QTableWidgetItem(kKindTexts[std::min<int>(b->sectionKinds[s], 6)]));
    strgrdSecties->setItem(s, 2, new QTableWidgetItem(QString::number(b->sectionInputs[s + 1])));
}

void TfrmSektie::strgrdSectiesSelectCell(int row, int column) {
    const BlockRec* b = gSelectedBlock;
    if (!b || row < 0 || row >= std::min<int>(b->sections, kMaxSections) || sessionRunning() || demoRunning()) return;
    const QRect cell = strgrdSecties->visualRect(strgrdSecties->model()->index(row, column));
    const QPoint at = strgrdSecties->viewport()->mapTo(this, cell.topLeft());
    if (column == 1) {
        cboSecSoort->setGeometry(at.x(), at.y(), cell.width(), cell.height() + 1);
        cboSecSoort->setCurrentIndex(b->sectionKinds[row]);
        cboSecSoort->setVisible(row != 0 && row != b->sections - 1);
        cboSecSoort->raise();
        edtSecNr->hide();
        pnlPlusMin2->hide();
    } else {
        const QRect nr = strgrdSecties->visualRect(strgrdSecties->model()->index(row, 2));
        const QPoint nrAt = strgrdSecties->viewport()->mapTo(this, nr.topLeft());
        edtSecNr->setGeometry(nrAt.x(), nrAt.y(), 40, nr.height() + 1);
        setFieldValue(edtSecNr, b->sectionInputs[row + 1]);
        edtSecNr->setVisible(b->sectionKinds[row] != 0);
        edtSecNr->raise();
        pnlPlusMin2->move(nrAt.x() + 42, nrAt.y() + 2);
        pnlPlusMin2->setVisible(!edtSecNr->isHidden());
        pnlPlusMin2->raise();
        cboSecSoort->hide();
    }
}

void TfrmSektie::strgrdSectiesKeyPress(int key) {
    const bool digit = key >= Qt::Key_0 && key <= Qt::Key_9;
    if (!digit && key != Qt::Key_Return && key != Qt::Key_Enter) return;
    QWidget* editor = strgrdSecties->currentColumn() == 1 ? static_cast<QWidget*>(cboSecSoort) : edtSecNr;
    if (!editor->isHidden()) editor->setFocus();
}

void TfrmSektie::cboSecSoortKeyDown(int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) strgrdSecties->setFocus();
}

void TfrmSektie::edtSecNrKeyDown(int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Escape) return;
    edtSecNrExit();
    strgrdSecties->setFocus();
}

bool TfrmSektie::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Space || !sessionRunning()) {
            if (watched == strgrdSecties) strgrdSectiesKeyPress(key);
            if (watched == cboSecSoort) cboSecSoortKeyDown(key);
            if (watched == edtSecNr && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape)) {
                edtSecNrKeyDown(key);
                return true;  // Esc here leaves the field, not the dialog
            }
            if (watched == cboSecSoort && key == Qt::Key_Escape) return true;
        }
    }
    return TElementDialog::eventFilter(watched, event);
}

void TfrmSektie::cboSecSoortClick() {
    BlockRec* b = gSelectedBlock;
    const int s = section();
    if (!b || s <= 0 || s >= b->sections - 1) return;
    const int o = b->sectionKinds[s];
    int k = cboSecSoort->currentIndex();
    if (k < 0 || k == o) return;
    const int prev = b->sectionKinds[s - 1], next = b->sectionKinds[s + 1];
    int16_t& contact = b->sectionInputs[s + 1];
    const int16_t before = b->sectionInputs[s];
    const int16_t after = b->sectionInputs[s + 2];
    if (k >= 4) {
        if (next == 0) k = 0;
        else if (next < k) k = o;
        else if (k == next) contact = after;
        else if (k == prev) contact = before;
        else if (prev != 0 && prev >= k) k = o;
        else contact = 0;
    } else if (k >= 1) {
        if (prev == 0) k = 0;
        else if (prev > k) k = o;
        else if (k == prev) contact = before;
        else if (k == next) contact = after;
        else if (next != 0 && k >= next) k = o;
        else contact = 0;
    }
    if (k == o) {  // refused: the old kind stays
        cboSecSoort->setCurrentIndex(o);
        return;
    }
    const bool modify = gEditMode == kEditClickOpens;
    if (modify) drawBlockSectionMarks(*b, 1, 1);
    if (k == 0) {
        auto clear = [&](int i) {
            b->sectionKinds[i] = 0;
            b->sectionInputs[i + 1] = 0;
            showSectionRow(i);
        };
        if (o > 3) {
            for (int i = 1; i < s; ++i)
                if (b->sectionKinds[i] > 3) clear(i);
        } else {
            for (int i = b->sections - 2; i > s; --i)
                if (b->sectionKinds[i] <= 3) clear(i);
        }
        contact = 0;
    } else if (contact == 0 && k != prev && k != next) {
        // A new group: the first number free after the block's lowest.
        int lowest = 0;
        for (int i = 0; i < std::min<int>(b->sections, kMaxSections); ++i) {
            const int c = b->sectionInputs[i + 1];
            if (c != 0 && (lowest == 0 || c < lowest)) lowest = c;
        }
        contact = static_cast<int16_t>(nextFreeSectionNumber(lowest, 1));
    }
    b->sectionKinds[s] = static_cast<uint8_t>(k);
    markIncomplete(*b);
    if (modify) drawBlockSectionMarks(*b, 0, 1);
    cboSecSoort->setCurrentIndex(k);
    showSectionRow(s);
}

void TfrmSektie::edtSecNrExit() {
    BlockRec* b = gSelectedBlock;
    const int s = section();
    if (!b || s < 0) return;
    const int stored = b->sectionInputs[s + 1];
    bool ok = false;
    const int v = edtSecNr->text().trimmed().toInt(&ok);
    if (ok && v == stored) return;
    if (!ok || v < 0 || v > kMaxContact) {
        setFieldValue(edtSecNr, stored);
        return;
    }
    if (v != 0) {
        const BlockRec* owner = nullptr;
        forEachBlock([&](const BlockRec& other) {
            for (int i = 0; i < std::min<int>(other.sections, kMaxSections) && !owner; ++i) {
                if (other.sectionInputs[i + 1] != v) continue;
                if (&other != b || other.sectionKinds[i] != b->sectionKinds[s]) owner = &other;
            }
        });
        if (owner) {
            showDialogMessage(QString::asprintf("Sectienummer %d reeds gebruikt in blok %d", v, owner->number).toStdString(), 1);
            setFieldValue(edtSecNr, stored);
            return;
        }
    }
    const uint8_t kind = b->sectionKinds[s];
    for (int i = 0; i < std::min<int>(b->sections, kMaxSections); ++i) {
        if (b->sectionKinds[i] != kind) continue;
        b->sectionInputs[i + 1] = static_cast<int16_t>(v);
        showSectionRow(i);
    }
    markIncomplete(*b);
}

void TfrmSektie::pnlPlusMin2MouseDown(int button) {
    setFieldValue(edtSecNr, nextFreeSectionNumber(fieldValue(edtSecNr), button == 1 ? 1 : -1));
    edtSecNrExit();
}

void TfrmSektie::pnlPlusMin1MouseDown(int button) {
    const int step = button == 1 ? 1 : -1;
    int n = fieldValue(edtNummer) + step;
    while (n >= 1 && n <= kMaxBlockNumber && blockNumbered(n, gSelectedBlock)) n += step;
    if (n >= 1 && n <= kMaxBlockNumber) setFieldValue(edtNummer, n);
}

void TfrmSektie::edtSnelheidChange() {
    const int v = fieldValue(edtSnelheid);
    if (v < 0 || v > kMaxSpeed) setFieldValue(edtSnelheid, std::clamp(v, 0, kMaxSpeed));
}

void TfrmSektie::edtWachttijdChange() {
    const int v = fieldValue(edtWachttijd);
    if (v < 0 || v > kMaxWait) setFieldValue(edtWachttijd, std::clamp(v, 0, kMaxWait));
}

void TfrmSektie::edtNummerChange() {
    if (!sessionRunning()) return;
    gSelectedBlock = blockNumbered(fieldValue(edtNummer), nullptr);
    FormActivate();
}

void TfrmSektie::btnOKClick() {
    if (gMessageShown) return;
    BlockRec* b = gSelectedBlock;
    if (!b) return;
    const int number = fieldValue(edtNummer);
    const int speed = std::clamp(fieldValue(edtSnelheid), 0, kMaxSpeed);
    const int wait = std::clamp(fieldValue(edtWachttijd), 0, kMaxWait);
    const char direction = "HTB"[std::clamp(cboRichting->currentIndex(), 0, 2)];
    uint8_t layer = 0;
    for (int k = 0; k < 4; ++k)
        if (radbtnLaag[k]->isChecked()) layer = kLayerOfRadio[k];
    const bool inserted = beingInserted(b);
    const bool editable = !sessionRunning() && (inserted || gEditMode == kEditClickOpens);
    if (editable) {
        if (number < 1 || number > kMaxBlockNumber) {
            showDialogMessage("Bloknummer buiten grenzen !", 1);
            return;
        }
        if (blockNumbered(number, b)) {
            showDialogMessage("Dit bloknummer is reeds gebruikt !", 1);
            return;
        }
        nextFreeSectionNumber(0, 0);
    }
    auto storeProperties = [&](BlockRec& rec) {
        rec.speed = speed;
        rec.waitTime = wait;
        rec.flags = static_cast<uint8_t>((rec.flags & ~(kPassengerWaitFlag | kLayerFlags)) |
                                         (chboWachtPers->isChecked() ? kPassengerWaitFlag : 0) | layer);
        uint8_t trains = 0;
        QCheckBox* trainBoxes[5] = {chboPersonen, chboGoederen, chboRangeer, chboAndere, chboBovenleiding};
        for (int k = 0; k < 5; ++k)
            if (trainBoxes[k]->isChecked()) trains |= kTrainBits[k];
        rec.allowedTrains = trains;
        rec.bendCorrection = static_cast<int8_t>(std::max(cboSnelhcorrBocht->currentIndex(), 0));
        rec.outwardSlope = static_cast<int8_t>(std::max(cboSnelhcorrHeen->currentIndex(), 0));
        rec.returnSlope = static_cast<int8_t>(std::max(cboSnelhcorrTerug->currentIndex(), 0));
    };
    if (editable && inserted) {
        b->number = static_cast<int16_t>(number);
        b->allowedDirection = direction;
        b->flags = static_cast<uint8_t>((b->flags & ~kLoopFlag) | (chboKeerlus->isChecked() ? kLoopFlag : 0));
        storeProperties(*b);
        b = storeNewBlock();
        if (!b) return;
    } else {
        if (!allocateJournalScratch()) return;
        BlockRec& previous = *gJournalScratch.block;
        if (!gMovingBlock) {
            // The record as it was before this dialog: its sections as they were backed up at fill time,
            // so that an undo brings back the kinds and contacts edited in the grid too.
            previous = *b;
            for (int s = 0; s < kMaxSections; ++s) {
                previous.sectionInputs[s + 1] = backupInputs[s];
                previous.sectionKinds[s] = backupKinds[s];
            }
        }
        const uint8_t oldFlags = b->flags;
        if (editable) {
            const uint8_t loop = chboKeerlus->isChecked() ? kLoopFlag : 0;
            const bool shapeOfRun = direction != b->allowedDirection || loop != (b->flags & kLoopFlag) || number != b->number;
            gDirtyFlags |= shapeOfRun ? 1 : 2;
            drawBlock(*b, 1, 1);
            b->number = static_cast<int16_t>(number);
            b->allowedDirection = direction;
            b->flags = static_cast<uint8_t>((b->flags & ~(kLoopFlag | kLayerFlags)) | loop | layer);
            drawBlock(*b, 0, 1);
            gEditMode = kEditCancelled;
        }
        storeProperties(*b);
        if ((b->flags & kLayerFlags) != (oldFlags & kLayerFlags) && !editable) {
            drawBlock(*b, 1, 1);
            drawBlock(*b, 0, 1);
        }
        const int index = gBlocks.indexOf(b);
        journalRecordEdit('w', b, &previous, index, index);
    }
    vestrel::ByteWriter w;
    encodeBlock(w, *b);
    const int index = gBlocks.indexOf(b);
    netQueueBlobRecord(30, 5, 37, b->number, index, w.data().data() + 12, 16);
    netQueueBlobRecord(40, 5, 37, b->number, index, w.data().data() + 12, 16);
    close();
}

void TfrmSektie::restoreSections(BlockRec& b) {
    for (int s = 0; s < kMaxSections; ++s) {
        b.sectionInputs[s + 1] = backupInputs[s];
        b.sectionKinds[s] = backupKinds[s];
    }
}

void TfrmSektie::FormClose() {
    BlockRec* b = gSelectedBlock;
    if (b && (gEditMode == kEditCommitted || gEditMode == kEditClickOpens)) {
        const bool modify = gEditMode == kEditClickOpens;
        if (modify) drawBlockSectionMarks(*b, 1, 1);
        restoreSections(*b);
        if (modify) drawBlockSectionMarks(*b, 0, 1);
    }
    if (gEditMode == kEditCommitted)
        gEditMode = kEditRestart;
    else if (gEditMode != kEditNew)
        gEditMode = kEditIdle;
    gActiveDialog = 0;
}
