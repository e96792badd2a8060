// The step grid of the step-program editor: a row per step, the code lists floating over the selected
// cell, typed values brought into their code's range.
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableWidget>

#include "layout/editor/editor_state.h"
#include "layout/model/parse_number.h"
#include "network/model/net_queue.h"
#include "platform/byte_io.h"
#include "shell/model/app_state.h"
#include "steps/dialogs/untStappen.h"
#include "steps/engine/step_executor.h"
#include "steps/model/step_codec.h"
#include "steps/model/step_codes.h"
#include "steps/model/step_program.h"

namespace {

constexpr int kColumns = 6;
constexpr int kColumnWidths[kColumns] = {40, 80, 48, 80, 48, 44};
constexpr const char* kHeaders[kColumns] = {"Stap", "Conditie", "Waarde", "Actie", "Waarde", "Tijd"};
constexpr const char* kEditMasks[kColumns] = {"00", "LLLLLLLLL", "0000", "LLLLLLLLL", "0000", "000"};
constexpr int kConditionColumn = 1;
constexpr int kActionColumn = 3;
constexpr int kTimeColumn = 5;
constexpr int kMaxTime = 999;
constexpr int kFormulaConditionCode = 24;
constexpr int kFormulaActionCode = 26;
constexpr uint8_t kStepChanged = 0x10;

bool valueColumn(int column) { return column == 2 || column == 4 || column == kTimeColumn; }

// Value cells are typed in a masked line edit; the code cells are chosen from the floating lists.
class StepCellDelegate : public QStyledItemDelegate {
public:
    explicit StepCellDelegate(TfrmStappen* form) : QStyledItemDelegate(form), form_(form) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override {
        const QString mask = form_->strgrdStappenGetEditMask(index.row(), index.column());
        if (mask.isEmpty() || !valueColumn(index.column())) return nullptr;
        auto* editor = new QLineEdit(parent);
        editor->setObjectName("strgrdStappenEditor");
        editor->setInputMask(mask);
        editor->installEventFilter(form_);  // the space bar stops all trains here too
        const int row = index.row();
        const int column = index.column();
        connect(editor, &QLineEdit::textEdited, editor, [this, editor, row, column](const QString& text) {
            const QString shown = form_->strgrdStappenSetEditText(row, column, text);
            if (shown != text.trimmed()) editor->setText(shown);
        });
        return editor;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* line = static_cast<QLineEdit*>(editor);
        line->setText(index.data().toString());
        line->selectAll();
    }
    // The step already holds the value; the cell shows it as stored, and the ended edit (Enter, or
    // leaving the cell) goes to the peers at once.
    void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex& index) const override {
        const StepProgramRec* p = gCurStepBox;
        if (!p || index.row() >= p->stepCount) return;
        const int stepIndex = p->firstStep + index.row();
        form_->showStepRow(stepIndex, index.row() + 1);
        form_->sendStepToPeers(stepIndex);
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        form_->strgrdStappenDrawCell(painter, index.row(), index.column(), option.rect);
    }

private:
    TfrmStappen* form_;
};

// The cell keeps its item (an open editor stays with it).
void setCellText(QTableWidget* grid, int row, int column, const QString& text) {
    if (QTableWidgetItem* item = grid->item(row, column)) item->setText(text);
    else grid->setItem(row, column, new QTableWidgetItem(text));
}

QComboBox* floatingList(QWidget* parent, const char* name) {
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    list->hide();
    return list;
}

}  // namespace

void TfrmStappen::buildGrid() {
    strgrdStappen = new QTableWidget(1, kColumns, this);
    strgrdStappen->setObjectName("strgrdStappen");
    QStringList headers;
    for (const char* h : kHeaders) headers << h;
    strgrdStappen->setHorizontalHeaderLabels(headers);
    strgrdStappen->verticalHeader()->hide();
    strgrdStappen->verticalHeader()->setDefaultSectionSize(22);
    for (int c = 0; c < kColumns; ++c) strgrdStappen->setColumnWidth(c, kColumnWidths[c]);
    strgrdStappen->setSelectionMode(QAbstractItemView::SingleSelection);
    strgrdStappen->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked);
    strgrdStappen->setItemDelegate(new StepCellDelegate(this));
    QWidget* cells = strgrdStappen->viewport();
    cboConditie = floatingList(cells, "cboConditie");
    for (const StepCodeInfo& c : kConditionTable) cboConditie->addItem(c.label);
    cboActie = floatingList(cells, "cboActie");
    for (const StepCodeInfo& a : kActionTable) cboActie->addItem(a.label);
    cboCondFmlnr = floatingList(cells, "cboCondFmlnr");
    cboActieFmlnr = floatingList(cells, "cboActieFmlnr");
    connect(strgrdStappen, &QTableWidget::currentCellChanged, this,
            [this](int row, int column, int, int) { strgrdStappenSelectCell(row, column); });
    connect(strgrdStappen->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &TfrmStappen::strgrdStappenTopLeftChanged);
    connect(strgrdStappen->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &TfrmStappen::strgrdStappenTopLeftChanged);
    connect(cboConditie, &QComboBox::activated, this, &TfrmStappen::cboConditieChange);
    connect(cboActie, &QComboBox::activated, this, &TfrmStappen::cboActieChange);
    connect(cboCondFmlnr, &QComboBox::activated, this, &TfrmStappen::cboCondFmlnrChange);
    connect(cboActieFmlnr, &QComboBox::activated, this, &TfrmStappen::cboActieFmlnrChange);
}

StepRec* TfrmStappen::selectedStep() const {
    const StepProgramRec* p = gCurStepBox;
    return p ? programStep(*p, selectedRow() + 1) : nullptr;
}

void TfrmStappen::showStepRow(int stepIndex, int row) {
    const StepRec* s = gSteps[stepIndex];
    if (!s || row < 1) return;
    if (strgrdStappen->rowCount() < row + 1) strgrdStappen->setRowCount(row + 1);
    const QString texts[kColumns] = {
        QString::number(row),
        s->conditionCode < kConditionCodes ? kConditionTable[s->conditionCode].label : "",
        QString::number(s->conditionValue),
        s->actionCode < kActionCodes ? kActionTable[s->actionCode].label : "",
        QString::number(s->actionValue),
        QString::number(s->time)};
    for (int c = 0; c < kColumns; ++c) setCellText(strgrdStappen, row - 1, c, texts[c]);
}

void TfrmStappen::clearStepRow(int row) {
    if (row < 1 || row > strgrdStappen->rowCount()) return;
    for (int c = 0; c < kColumns; ++c) setCellText(strgrdStappen, row - 1, c, QString());
}

void TfrmStappen::fillStepGrid() {
    const StepProgramRec* p = gCurStepBox;
    if (!p) return;
    const QSignalBlocker quiet(strgrdStappen);
    strgrdStappen->setRowCount(p->stepCount + 1);
    for (int row = 1; row <= p->stepCount; ++row) showStepRow(p->firstStep + row - 1, row);
    for (int row = p->stepCount + 1; row <= strgrdStappen->rowCount(); ++row) clearStepRow(row);
    strgrdStappen->viewport()->update();
    placeLists();
}

void TfrmStappen::clearStepGrid() {
    const QSignalBlocker quiet(strgrdStappen);
    strgrdStappen->clearContents();
    strgrdStappen->setRowCount(1);  // the empty row a new step is inserted at
    cboConditie->hide();
    cboActie->hide();
}

void TfrmStappen::placeOverCell(QWidget* list, int row, int column) {
    const QRect cell = strgrdStappen->visualRect(strgrdStappen->model()->index(row, column));
    list->setGeometry(cell.x(), cell.y(), cell.width(), cell.height() + 1);
    list->raise();
}

// The code list of the selected column over the selected step's cell; neither on the empty last row.
void TfrmStappen::placeLists() {
    const StepRec* s = selectedStep();
    const int row = selectedRow();
    const int column = strgrdStappen->currentColumn();
    const bool editable = s && strgrdStappen->isEnabled() && !(demoRunning());
    cboConditie->setVisible(editable && column == kConditionColumn);
    cboActie->setVisible(editable && column == kActionColumn);
    if (!editable) return;
    if (column == kConditionColumn) {
        placeOverCell(cboConditie, row, column);
        cboConditie->setCurrentIndex(s->conditionCode);
    } else if (column == kActionColumn) {
        placeOverCell(cboActie, row, column);
        cboActie->setCurrentIndex(s->actionCode);
    }
}

bool TfrmStappen::demoRunning() const { return gDemoStep != 0; }

void TfrmStappen::strgrdStappenSelectCell(int row, int column) {
    sendStepToPeers(gCurStepIndex);
    StepProgramRec* p = gCurStepBox;
    gCurStepIndex = p && row >= 0 && row < p->stepCount ? p->firstStep + row : -1;
    if (p && gCurStepIndex >= 0 && !sessionRunning()) p->currentStep = static_cast<uint8_t>(row + 1);
    (void)column;
    placeLists();
}

void TfrmStappen::strgrdStappenTopLeftChanged() { placeLists(); }

// The row of the current step stands out inverted: white text on blue.
void TfrmStappen::strgrdStappenDrawCell(QPainter* painter, int row, int column, const QRect& rect) {
    if (row != markedRow_) return;
    painter->save();
    painter->fillRect(rect, QColor(0, 0, 255));
    painter->setPen(Qt::white);
    if (const QTableWidgetItem* item = strgrdStappen->item(row, column))
        painter->drawText(rect.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter, item->text());
    painter->restore();
}

QString TfrmStappen::strgrdStappenGetEditMask(int row, int column) const {
    const StepProgramRec* p = gCurStepBox;
    if (!p || p->stepCount == 0 || row >= p->stepCount || column < 0 || column >= kColumns) return {};
    return kEditMasks[column];
}

QString TfrmStappen::strgrdStappenSetEditText(int row, int column, const QString& text) {
    StepProgramRec* p = gCurStepBox;
    StepRec* s = p ? programStep(*p, row + 1) : nullptr;
    if (!s) return {};  // the empty last row stays empty
    const int typed = parseNumber(text.trimmed().toStdString());
    int value = typed;
    if (column == 2) {
        value = clampConditionValue(s->conditionCode, typed);
        if (value != s->conditionValue) {
            s->conditionValue = static_cast<int16_t>(value);
            resolveStepConditionTarget(s);
        }
    } else if (column == 4) {
        value = clampActionValue(s->actionCode, typed, p->stepCount);
        s->actionValue = static_cast<int16_t>(value);
    } else if (column == kTimeColumn) {
        value = isLogicAction(s->actionCode) ? 0 : std::clamp(typed, 0, kMaxTime);
        s->time = static_cast<int16_t>(value);
    } else {
        return text.trimmed();
    }
    gChangeFlags |= kStepChanged;
    return value == typed ? text.trimmed() : QString::number(value);
}

void TfrmStappen::strgrdStappenKeyPress(int key) {
    const bool digit = key >= Qt::Key_0 && key <= Qt::Key_9;
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (!digit && !enter) return;
    const StepRec* s = selectedStep();
    if (!s) return;
    const int column = strgrdStappen->currentColumn();
    QComboBox* list = nullptr;
    if (column == kConditionColumn) list = cboConditie;
    else if (column == kActionColumn) list = cboActie;
    else if (column == 2 && s->conditionCode == kFormulaConditionCode) list = cboCondFmlnr;
    else if (column == 4 && s->actionCode == kFormulaActionCode) list = cboActieFmlnr;
    if (enter) sendStepToPeers(gCurStepIndex);
    if (!list) return;
    if (list == cboCondFmlnr || list == cboActieFmlnr) placeOverCell(list, selectedRow(), column);
    list->show();
    list->setFocus();
}

void TfrmStappen::cboConditieEnter() {}

// Leaving a list puts it back over its cell (a list scrolled away is hidden).
void TfrmStappen::cboConditieExit() { placeLists(); }

void TfrmStappen::cboConditieKeyDown(int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) strgrdStappen->setFocus();
}

void TfrmStappen::cboConditieChange() {
    StepRec* s = selectedStep();
    if (!s) return;
    s->conditionCode = static_cast<uint8_t>(std::clamp(cboConditie->currentIndex(), 0, kConditionCodes - 1));
    s->conditionValue = 0;
    s->resolvedTarget = -1;
    showStepRow(gCurStepIndex, selectedRow() + 1);
    gChangeFlags |= kStepChanged;
    sendStepToPeers(gCurStepIndex);
}

void TfrmStappen::cboActieChange() {
    StepRec* s = selectedStep();
    if (!s) return;
    s->actionCode = static_cast<uint8_t>(std::clamp(cboActie->currentIndex(), 0, kActionCodes - 1));
    s->actionValue = 0;
    if (isLogicAction(s->actionCode)) s->time = 0;
    showStepRow(gCurStepIndex, selectedRow() + 1);
    gChangeFlags |= kStepChanged;
    sendStepToPeers(gCurStepIndex);
}

void TfrmStappen::storeFormulaNumber(QComboBox* list, bool condition) {
    StepRec* s = selectedStep();
    if (!s || list->currentIndex() < 0) return;
    const auto number = static_cast<int16_t>(parseNumber(list->currentText().toStdString()));
    if (condition) s->conditionValue = number;
    else s->actionValue = number;
    showStepRow(gCurStepIndex, selectedRow() + 1);
    gChangeFlags |= kStepChanged;
    sendStepToPeers(gCurStepIndex);
    strgrdStappen->setFocus();
}

void TfrmStappen::cboCondFmlnrChange() { storeFormulaNumber(cboCondFmlnr, true); }
void TfrmStappen::cboActieFmlnrChange() { storeFormulaNumber(cboActieFmlnr, false); }

void TfrmStappen::sendStepToPeers(int stepIndex) {
    const StepProgramRec* p = gCurStepBox;
    if (!p || !(gChangeFlags & kStepChanged)) return;
    if (stepIndex < p->firstStep || stepIndex >= p->firstStep + p->stepCount || !gSteps[stepIndex]) return;
    vestrel::ByteWriter w;
    encodeStep(w, *gSteps[stepIndex]);
    netQueueBlobRecord(30, 15, 37, kStepRecSize, stepIndex, w.data().data(), kStepRecSize);
    netQueueBlobRecord(40, 15, 37, kStepRecSize, stepIndex, w.data().data(), kStepRecSize);
    gChangeFlags &= static_cast<uint8_t>(~kStepChanged);
}

void fillFormulaCombos() {
    TfrmStappen* form = frmStappen;
    if (!form) return;
    form->cboCondFmlnr->clear();
    form->cboActieFmlnr->clear();
    for (const FormulaRec* f : gFormulas) {
        QComboBox* list = (f->flags & kFormulaCondition) ? form->cboCondFmlnr : form->cboActieFmlnr;
        list->addItem(QString::number(f->position + 1));
    }
    form->cboCondFmlnr->setCurrentIndex(form->cboCondFmlnr->count() > 0 ? 0 : -1);
    form->cboActieFmlnr->setCurrentIndex(form->cboActieFmlnr->count() > 0 ? 0 : -1);
    form->cboCondFmlnr->hide();
    form->cboActieFmlnr->hide();
}

bool TfrmStappen::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Space && sessionRunning() && gEmergencyState == 0) {
            FormKeyDown(key);
            return true;
        }
        // Keys that an open cell editor passes on are not the grid's own.
        if (watched == strgrdStappen && strgrdStappen->hasFocus()) {
            const int column = strgrdStappen->currentColumn();
            const StepRec* s = selectedStep();
            const bool list = column == kConditionColumn || column == kActionColumn ||
                              (s && column == 2 && s->conditionCode == kFormulaConditionCode) ||
                              (s && column == 4 && s->actionCode == kFormulaActionCode);
            strgrdStappenKeyPress(key);
            if (list && (key == Qt::Key_Return || key == Qt::Key_Enter || (key >= Qt::Key_0 && key <= Qt::Key_9)))
                return true;
        }
        for (QComboBox* list : {cboConditie, cboActie, cboCondFmlnr, cboActieFmlnr}) {
            if (watched != list) continue;
            cboConditieKeyDown(key);
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) return true;
        }
        for (QLineEdit* field : {edtStap, edtStaptijd, edtTeller, edtLoc}) {
            if (watched != field) continue;
            if (!field->isReadOnly() && (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter)) {
                edtKeyDown(field, key);
                return true;
            }
        }
        for (int k = 0; k < 3; ++k) {
            if (watched != operandField_[k]) continue;
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                edtOperandKeyDown(k, key);
                return true;
            }
        }
    } else if (event->type() == QEvent::MouseButtonDblClick) {
        for (QLineEdit* field : {edtStap, edtStaptijd, edtTeller, edtLoc})
            if (watched == field) edtDblClick(field);
    } else if (event->type() == QEvent::FocusOut) {
        for (QLineEdit* field : {edtStap, edtStaptijd, edtTeller, edtLoc})
            if (watched == field) edtExit(field);
        for (QComboBox* list : {cboConditie, cboActie})
            if (watched == list) cboConditieExit();
        for (int k = 0; k < 3; ++k)
            if (watched == operandField_[k]) edtOperandExit(k);
    } else if (event->type() == QEvent::FocusIn) {
        if (watched == cboConditie || watched == cboActie) cboConditieEnter();
    }
    return TElementDialog::eventFilter(watched, event);
}

void TfrmStappen::FormResize() {
    constexpr int kFieldRow = 56;
    constexpr int kPanel = 150;
    const int panel = grpFormule && !grpFormule->isHidden() ? kPanel : 0;
    const int bottom = height() - kFieldRow;
    strgrdStappen->setGeometry(10, 40, 390, std::max(bottom - panel - 48, 60));
    if (grpFormule) grpFormule->setGeometry(10, bottom - panel, width() - 20, std::max(panel - 6, 0));
    const int y = height() - kFieldRow + 6;
    int x = 10;
    for (QLineEdit* field : {edtStap, edtStaptijd, edtTeller, edtLoc}) {
        if (!field) continue;
        if (auto* label = findChild<QLabel*>(QString("lbl") + field->objectName().mid(3))) label->setGeometry(x, y, 60, 17);
        field->setGeometry(x, y + 18, 60, 22);
        x += 80;
    }
    placeLists();
}
