// The step-program editor's run fields (current step, wait left, counter, bound locomotive) and its
// formula panel.
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <algorithm>

#include "layout/editor/editor_state.h"
#include "layout/model/parse_number.h"
#include "network/model/net_queue.h"
#include "operation/model/train_model.h"
#include "platform/byte_io.h"
#include "shell/model/app_state.h"
#include "steps/dialogs/untStappen.h"
#include "steps/draw/step_number.h"
#include "steps/editor/formula_store.h"
#include "steps/engine/formula_engine.h"
#include "steps/engine/step_executor.h"
#include "steps/model/step_codec.h"
#include "steps/model/step_program.h"

namespace {

// The wait left is a 16-bit count of seconds: more would wrap negative and never run out.
constexpr int kMaxWaitLeft = 32767;
constexpr int kFormulaConditionCode = 24;
constexpr int kFormulaActionCode = 26;
constexpr int kFormulaDataOffset = 2;  // peers receive the formula from operand type A on
constexpr int kFormulaDataSize = 22;
constexpr int kPanelHeight = 150;
constexpr int kMinGridHeight = 110;

const char* const kOperandTypes[] = {"const", "var", "loc", "snelh", "afstnd", "teller", "tijd", "stap"};
const char* const kComparisons[] = {"=", "<>", "<", ">", "<=", ">="};
const char* const kOperations[] = {"none", "+", "-", "x", "/", "power", "root", "cos", "sin", "tan"};

QLineEdit* lineEdit(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    return e;
}

QComboBox* list(QWidget* parent, const char* name, std::initializer_list<const char*> items, QRect at) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    for (const char* i : items) box->addItem(i);
    box->setGeometry(at);
    return box;
}

QLabel* label(QWidget* parent, const char* name, const char* text, QRect at) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(at);
    return l;
}

QPushButton* panelButton(QWidget* parent, const char* name, const char* text, QRect at) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setGeometry(at);
    b->setAutoDefault(false);
    return b;
}

bool formulaInTable(const FormulaRec* f) { return f && gFormulas.indexOf(f) >= 0; }

QString floatText(float v) { return QString::number(static_cast<double>(v), 'g', 7); }

}  // namespace

void TfrmStappen::buildFields() {
    const struct {
        QLineEdit*& field;
        const char* name;
        const char* label;
    } fields[] = {{edtStap, "edtStap", "stap"},
                  {edtStaptijd, "edtStaptijd", "tijd"},
                  {edtTeller, "edtTeller", "teller"},
                  {edtLoc, "edtLoc", "loc"}};
    for (const auto& f : fields) {
        f.field = lineEdit(this, f.name);
        f.field->setReadOnly(true);
        f.field->setToolTip("Enter om te wijzigen");
        label(this, (QString("lbl") + (f.name + 3)).toLatin1().constData(), f.label, {});
    }
}

void TfrmStappen::buildFormulaPanel() {
    grpFormule = new QGroupBox("FORMULE", this);
    grpFormule->setObjectName("grpFormule");
    grpFormule->hide();
    const char* typeNames[3] = {"cboA", "cboB", "cboC"};
    const char* fieldNames[3] = {"edtA", "edtB", "edtC"};
    const char* labelNames[3] = {"lblA", "lblB", "lblC"};
    for (int k = 0; k < 3; ++k) {
        const int y = 20 + 30 * k;
        operandType_[k] = new QComboBox(grpFormule);
        operandType_[k]->setObjectName(typeNames[k]);
        for (const char* t : kOperandTypes) operandType_[k]->addItem(t);
        operandType_[k]->setGeometry(10, y, 80, 24);
        operandField_[k] = lineEdit(grpFormule, fieldNames[k]);
        operandField_[k]->setGeometry(95, y, 70, 24);
        operandLabel_[k] = label(grpFormule, labelNames[k], "", {170, y + 3, 80, 18});
    }
    cboA = operandType_[0];
    cboB = operandType_[1];
    cboC = operandType_[2];
    edtA = operandField_[0];
    edtB = operandField_[1];
    edtC = operandField_[2];
    lblA = operandLabel_[0];
    lblB = operandLabel_[1];
    lblC = operandLabel_[2];
    cboVergelijk = list(grpFormule, "cboVergelijk", {}, {255, 20, 60, 24});
    for (const char* c : kComparisons) cboVergelijk->addItem(c);
    cboBewerking = list(grpFormule, "cboBewerking", {}, {255, 50, 80, 24});
    for (const char* o : kOperations) cboBewerking->addItem(o);
    lblUitkomst = label(grpFormule, "lblUitkomst", "", {325, 23, 90, 18});
    btnUitvoeren = panelButton(grpFormule, "btnUitvoeren", "<- uitvoeren", {420, 20, 110, 25});
    btnFmlToevoegen = panelButton(grpFormule, "btnFmlToevoegen", "+", {10, 110, 30, 25});
    btnFmlToevoegen->setToolTip("Formule toevoegen");
    btnFmlVerwijderen = panelButton(grpFormule, "btnFmlVerwijderen", "-", {45, 110, 30, 25});
    btnFmlVerwijderen->setToolTip("Formule verwijderen");

    connect(cboA, &QComboBox::activated, this, &TfrmStappen::cboAChange);
    connect(cboB, &QComboBox::activated, this, &TfrmStappen::cboBChange);
    connect(cboC, &QComboBox::activated, this, &TfrmStappen::cboCChange);
    connect(cboVergelijk, &QComboBox::activated, this, &TfrmStappen::cboVergelijkChange);
    connect(cboBewerking, &QComboBox::activated, this, &TfrmStappen::cboBewerkingChange);
    connect(btnFmlToevoegen, &QPushButton::clicked, this, &TfrmStappen::btnFmlToevoegenClick);
    connect(btnFmlVerwijderen, &QPushButton::clicked, this, &TfrmStappen::btnFmlVerwijderenClick);
    connect(btnUitvoeren, &QPushButton::clicked, this, &TfrmStappen::btnUitvoerenClick);
}

// ---- the four fields ----

void TfrmStappen::showField(QLineEdit* field, const QString& text) {
    if (field->isReadOnly()) field->setText(text);
}

void TfrmStappen::showFields() {
    const StepProgramRec* p = gCurStepBox;
    if (!p) {
        for (QLineEdit* f : {edtStap, edtStaptijd, edtTeller, edtLoc}) showField(f, {});
        return;
    }
    showField(edtStap, QString::number(p->currentStep));
    showField(edtStaptijd, QString::number(p->waitLeft));
    showField(edtTeller, QString::number(p->counter));
    showField(edtLoc, p->boundLoco ? QString::number(p->boundLoco->number) : QString());
}

void TfrmStappen::showWaitLeft() {
    if (gCurStepBox) showField(edtStaptijd, QString::number(gCurStepBox->waitLeft));
}

void TfrmStappen::edtDblClick(QLineEdit* field) {
    if (!field->isReadOnly() || !gCurStepBox) return;
    field->setReadOnly(false);
    QPalette colours = field->palette();
    colours.setColor(QPalette::Base, colours.color(QPalette::Highlight));
    colours.setColor(QPalette::Text, colours.color(QPalette::HighlightedText));
    field->setPalette(colours);
    field->setFocus();
    field->selectAll();
}

void TfrmStappen::endFieldEdit(QLineEdit* field) {
    if (field->isReadOnly()) return;
    field->setReadOnly(true);
    field->setPalette(palette());
    showFields();
}

void TfrmStappen::edtExit(QLineEdit* field) { endFieldEdit(field); }

void TfrmStappen::edtKeyDown(QLineEdit* field, int key) {
    if (field->isReadOnly()) return;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) applyField(field);
    if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) endFieldEdit(field);
}

void TfrmStappen::applyField(QLineEdit* field) {
    StepProgramRec* p = gCurStepBox;
    if (!p) return;
    int value = parseNumber(field->text().toStdString());
    int code = 0;
    if (field == edtStap) {
        if (value < 1 || value > p->stepCount) return;
        p->currentStep = static_cast<uint8_t>(value);
        startStepWait(p);
        drawStepNumber(p);
        code = 15;
    } else if (field == edtStaptijd) {
        if (value < 0) return;
        value = std::min(value, kMaxWaitLeft);
        field->setText(QString::number(value));
        p->waitLeft = static_cast<int16_t>(value);
        p->nextSecond = static_cast<int32_t>(gMsTick + 1000);
        code = 19;
    } else if (field == edtTeller) {
        if (value < 0 || value > 255) return;
        p->counter = static_cast<uint8_t>(value);
        code = 20;
    } else {
        int onTrack = -1;
        for (int i = 0; i < gLocsOnTrackCount; ++i)
            if (gLocsOnTrack[i] && gLocsOnTrack[i]->number == value) onTrack = i;
        if (onTrack < 0) return;
        p->boundLoco = gLocsOnTrack[onTrack];
        value = onTrack;
        code = 2;
    }
    netQueueRecord(30, 14, code, code, p->number, value);
    netQueueRecord(40, 14, code, code, p->number, value);
    FormActivate();
}

// ---- the formula panel ----

void TfrmStappen::formulaControlsEnabled(bool enabled) {
    for (QWidget* w : std::initializer_list<QWidget*>{cboA, edtA, cboVergelijk, cboB, edtB, cboBewerking, cboC, edtC,
                                                      btnUitvoeren, btnFmlVerwijderen})
        w->setEnabled(enabled);
    btnFmlToevoegen->setEnabled(true);
}

void TfrmStappen::Timer1Timer() {
    StepRec* s = selectedStep();
    const int column = strgrdStappen->currentColumn();
    const bool condition = s && s->conditionCode == kFormulaConditionCode && (column == 1 || column == 2);
    const bool action = s && !condition && s->actionCode == kFormulaActionCode && (column == 3 || column == 4);
    if (!condition && !action) {
        gCurFormula = nullptr;
        cboCondFmlnr->hide();
        cboActieFmlnr->hide();
        if (!grpFormule->isHidden()) {
            grpFormule->hide();
            FormResize();
        }
        return;
    }
    if (grpFormule->isHidden()) {
        grpFormule->show();
        if (strgrdStappen->height() - kPanelHeight < kMinGridHeight) resize(width(), height() + kPanelHeight);
        FormResize();
    }
    const int row = selectedRow();
    QComboBox* numbers = condition ? cboCondFmlnr : cboActieFmlnr;
    (condition ? cboActieFmlnr : cboCondFmlnr)->hide();
    placeOverCell(numbers, row, condition ? 2 : 4);
    numbers->show();
    const int number = condition ? s->conditionValue : s->actionValue;
    numbers->setCurrentIndex(numbers->findText(QString::number(number)));
    grpFormule->setTitle(QString("STAP %1  %2  FORMULE").arg(row + 1).arg(condition ? "CONDITIE" : "ACTIE"));
    FormulaRec* f = number >= 1 && number <= gFormulaCount ? gFormulas[number - 1] : nullptr;
    if (!f) {
        gCurFormula = nullptr;
        formulaControlsEnabled(false);
        for (QLabel* l : {lblA, lblB, lblC, lblUitkomst}) l->clear();
        return;
    }
    evaluateFormula(gCurStepBox, number, 0);
    for (int k = 0; k < 3; ++k) operandLabel_[k]->setText(floatText(f->current[k]));
    if (f->operation < 1 || f->operation > 6) lblC->setText("0");
    lblUitkomst->setText(floatText(f->result));
    if (f == gCurFormula) return;
    gCurFormula = f;
    for (int k = 0; k < 3; ++k) {
        operandType_[k]->setCurrentIndex(std::min<int>(f->types[k], kMaxFormulaOperandType));
        operandField_[k]->setText(floatText(f->entered[k]));
    }
    cboVergelijk->setCurrentIndex(std::min<int>(f->comparison, kMaxFormulaComparison));
    cboBewerking->setCurrentIndex(std::min<int>(f->operation, kMaxFormulaOperation));
    formulaControlsEnabled(true);
    cboVergelijk->setEnabled(f->flags & kFormulaCondition);
    btnUitvoeren->setEnabled(!(f->flags & kFormulaCondition));
    updateFormulaPanel(f);
}

void TfrmStappen::updateFormulaPanel(FormulaRec* f) {
    if (!formulaInTable(f)) return;
    const bool withC = f->operation >= 1 && f->operation <= 6;
    cboC->setVisible(withC);
    lblC->setVisible(withC);
    if (!withC) lblC->setText("0");
    for (int k = 0; k < 3; ++k) {
        const int type = f->types[k];
        const bool entered = type == kOperandConst || type == kOperandVar;
        operandField_[k]->setVisible(entered && (k < 2 || withC));
        if (type == kOperandVar)
            operandField_[k]->setText(floatText(std::clamp(f->entered[k], 1.0f, static_cast<float>(kMaxFormulas))));
    }
}

void TfrmStappen::sendFormulaToPeers() {
    const FormulaRec* f = gCurFormula;
    if (!formulaInTable(f)) return;
    vestrel::ByteWriter w;
    encodeFormula(w, *f);
    const uint8_t* data = w.data().data() + kFormulaDataOffset;
    netQueueBlobRecord(30, 16, 37, kFormulaDataSize, f->position, data, kFormulaDataSize);
    netQueueBlobRecord(40, 16, 37, kFormulaDataSize, f->position, data, kFormulaDataSize);
}

namespace {

// A list's choice stored into the panel's formula: an operand type, the comparison or the operation.
template <class Store>
void storeChoice(TfrmStappen& form, Store store) {
    FormulaRec* f = gCurFormula;
    if (!formulaInTable(f)) return;
    store(*f);
    form.updateFormulaPanel(f);
    form.sendFormulaToPeers();
}

uint8_t choice(const QComboBox* list, int highest) { return static_cast<uint8_t>(std::clamp(list->currentIndex(), 0, highest)); }

}  // namespace

void TfrmStappen::cboAChange() {
    storeChoice(*this, [&](FormulaRec& f) { f.types[0] = choice(cboA, kMaxFormulaOperandType); });
}
void TfrmStappen::cboBChange() {
    storeChoice(*this, [&](FormulaRec& f) { f.types[1] = choice(cboB, kMaxFormulaOperandType); });
}
void TfrmStappen::cboCChange() {
    storeChoice(*this, [&](FormulaRec& f) { f.types[2] = choice(cboC, kMaxFormulaOperandType); });
}
void TfrmStappen::cboVergelijkChange() {
    storeChoice(*this, [&](FormulaRec& f) { f.comparison = choice(cboVergelijk, kMaxFormulaComparison); });
}
void TfrmStappen::cboBewerkingChange() {
    storeChoice(*this, [&](FormulaRec& f) { f.operation = choice(cboBewerking, kMaxFormulaOperation); });
}

void TfrmStappen::storeOperand(int operand) {
    FormulaRec* f = gCurFormula;
    if (!formulaInTable(f) || operand < 0 || operand > 2) return;
    bool ok = false;
    float value = operandField_[operand]->text().trimmed().replace(',', '.').toFloat(&ok);
    if (!ok) value = 0;
    if (f->types[operand] == kOperandVar) value = std::clamp(value, 1.0f, static_cast<float>(kMaxFormulas));
    f->entered[operand] = value;
    operandField_[operand]->setText(floatText(value));
    sendFormulaToPeers();
}

void TfrmStappen::edtOperandKeyDown(int operand, int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) storeOperand(operand);
}

// Leaving the field shows what the formula holds.
void TfrmStappen::edtOperandExit(int operand) {
    if (formulaInTable(gCurFormula) && operand >= 0 && operand < 3)
        operandField_[operand]->setText(floatText(gCurFormula->entered[operand]));
}

void TfrmStappen::btnFmlToevoegenClick() {
    if (!selectedStep()) return;
    const int column = strgrdStappen->currentColumn();
    const int condition = column == 1 || column == 2 ? 1 : 0;
    if (client()) {
        netQueueRecord(40, 16, 0, gCurStepIndex, gFormulaCount, condition);
        return;
    }
    addOrRemoveFormula(gCurStepIndex, gFormulaCount, condition);
    gCurFormula = nullptr;
    Timer1Timer();
}

void TfrmStappen::btnFmlVerwijderenClick() {
    const StepRec* s = selectedStep();
    if (!s) return;
    const int column = strgrdStappen->currentColumn();
    const int condition = column == 1 || column == 2 ? 1 : 0;
    const int number = condition ? s->conditionValue : s->actionValue;
    if (number < 1 || number > gFormulaCount) return;
    if (client()) {
        netQueueRecord(40, 16, 42, gCurStepIndex, number - 1, condition);
        return;
    }
    addOrRemoveFormula(gCurStepIndex, number - 1, condition);
    gCurFormula = nullptr;
    Timer1Timer();
}

void TfrmStappen::btnUitvoerenClick() {
    const FormulaRec* f = gCurFormula;
    StepProgramRec* p = gCurStepBox;
    if (!formulaInTable(f) || !p) return;
    if (client()) {
        netQueueRecord(40, 16, 16, p->number, f->position, 0);
        return;
    }
    evaluateFormula(p, f->position + 1, 1);
    gCurFormula = nullptr;
    Timer1Timer();
    FormActivate();
}
