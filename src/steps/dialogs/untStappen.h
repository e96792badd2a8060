#pragma once
// Step-program editor: the steps of one program in a grid, its run state, and the formula panel.
#include <QString>

#include "layout/dialogs/element_dialog.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPainter;
class QPushButton;
class QTableWidget;
class QTimer;
struct FormulaRec;
struct StepProgramRec;
struct StepRec;

// The formula in the panel, and the selected step (index in gSteps, -1 none).
extern FormulaRec* gCurFormula;
extern int gCurStepIndex;

class TfrmStappen : public TElementDialog {
    Q_OBJECT
public:
    explicit TfrmStappen(QWidget* parent = nullptr);
    // The mode the window was last activated in (3 add, 7 delete, 8 modify, 18 view and run, 30 saved);
    // 0 makes the next activation a first one.
    int Tag = 0;

    void FormActivate() override;
    void FormClose() override;
    void FormKeyDown(int key);
    void FormResize();
    void btnOpslaanClick();
    void btnAnnulerenClick();
    void cboStappenNaamChange();
    void cboStappenNaamClick();
    void btnDupliceerClick();
    void btnStapInvoegenClick();
    void btnStapWissenClick();
    void btnStopClick();
    void btnStartClick();
    void btnHelpClick();
    // Grid.
    void strgrdStappenKeyPress(int key);
    void strgrdStappenSelectCell(int row, int column);
    void strgrdStappenTopLeftChanged();
    void strgrdStappenDrawCell(QPainter* painter, int row, int column, const QRect& rect);
    QString strgrdStappenGetEditMask(int row, int column) const;
    // The typed text of a value cell; returns the text the cell is to show (the clamped value).
    QString strgrdStappenSetEditText(int row, int column, const QString& text);
    void cboConditieEnter();
    void cboConditieExit();
    void cboConditieKeyDown(int key);
    void cboConditieChange();
    void cboActieChange();
    void cboCondFmlnrChange();
    void cboActieFmlnrChange();
    // The four fields (current step, wait left, counter, bound locomotive).
    void edtDblClick(QLineEdit* field);
    void edtExit(QLineEdit* field);
    void edtKeyDown(QLineEdit* field, int key);
    // Formula panel.
    void cboAChange();
    void cboVergelijkChange();
    void cboBChange();
    void cboBewerkingChange();
    void cboCChange();
    void edtOperandKeyDown(int operand, int key);
    void edtOperandExit(int operand);
    void btnFmlToevoegenClick();
    void btnFmlVerwijderenClick();
    void btnUitvoerenClick();
    void Timer1Timer();

    void showStepRow(int stepIndex, int row);
    void clearStepRow(int row);
    void fillStepGrid();
    void clearStepGrid();
    void sendStepToPeers(int stepIndex);
    void sendFormulaToPeers();
    void updateFormulaPanel(FormulaRec* formula);
    // Shows the program's wait left unless the user edits that field.
    void showWaitLeft();

    QComboBox* cboStappenNaam = nullptr;
    QTableWidget* strgrdStappen = nullptr;
    QComboBox* cboConditie = nullptr;
    QComboBox* cboActie = nullptr;
    QComboBox* cboCondFmlnr = nullptr;
    QComboBox* cboActieFmlnr = nullptr;
    QPushButton* btnDupliceer = nullptr;
    QPushButton* btnStart = nullptr;
    QPushButton* btnStop = nullptr;
    QPushButton* btnStapInvoegen = nullptr;
    QPushButton* btnStapWissen = nullptr;
    QPushButton* btnOpslaan = nullptr;
    QLineEdit* edtStap = nullptr;
    QLineEdit* edtStaptijd = nullptr;
    QLineEdit* edtTeller = nullptr;
    QLineEdit* edtLoc = nullptr;
    QGroupBox* grpFormule = nullptr;
    QComboBox* cboA = nullptr;
    QLineEdit* edtA = nullptr;
    QComboBox* cboVergelijk = nullptr;
    QComboBox* cboB = nullptr;
    QLineEdit* edtB = nullptr;
    QComboBox* cboBewerking = nullptr;
    QComboBox* cboC = nullptr;
    QLineEdit* edtC = nullptr;
    QLabel* lblA = nullptr;
    QLabel* lblB = nullptr;
    QLabel* lblC = nullptr;
    QLabel* lblUitkomst = nullptr;
    QPushButton* btnUitvoeren = nullptr;
    QPushButton* btnFmlToevoegen = nullptr;
    QPushButton* btnFmlVerwijderen = nullptr;
    QTimer* Timer1 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildGrid();
    void buildFields();
    void buildFormulaPanel();
    void firstActivation(int mode);
    StepRec* selectedStep() const;
    int selectedRow() const;  // 0-based grid row, -1 none
    void placeOverCell(QWidget* list, int row, int column);
    void placeLists();
    void markRow(int row);
    void showFields();
    void showField(QLineEdit* field, const QString& text);
    void endFieldEdit(QLineEdit* field);
    void applyField(QLineEdit* field);
    void switchToProgram(StepProgramRec* program);
    void storeFormulaNumber(QComboBox* list, bool condition);
    void storeOperand(int operand);
    void formulaControlsEnabled(bool enabled);
    bool client() const;
    bool demoRunning() const;

    int markedRow_ = -1;
    QLineEdit* operandField_[3] = {};
    QComboBox* operandType_[3] = {};
    QLabel* operandLabel_[3] = {};
};

extern TfrmStappen* frmStappen;
