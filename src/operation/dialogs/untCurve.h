#pragma once
// The speed-curve dialog: a locomotive's speed table as a graph, edited step by step or measured on
// the layout between two feedback inputs.
#include <cstdint>

#include "platform/canvas.h"
#include "shell/window/form_dialog.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
struct LocoRec;

// The table, maximum speed and slot of the locomotive as the dialog found it when it opened, and
// whether that maximum was typed in the train dialog.
struct CurveBackup {
    int16_t table[127] = {};
    int16_t maxSpeed = 0;
    int16_t slot = 0;
    bool typedMaxSpeed = false;
};

extern LocoRec* gCurveLoco;   // the locomotive the dialog shows; null while it is closed
extern int32_t gCurveStep;    // the selected step, kept between openings
extern CurveBackup gCurveBackup;

class TfrmCurve : public TFormDialog {
    Q_OBJECT
public:
    explicit TfrmCurve(QWidget* parent = nullptr);
    // The calibration state: negative states wait for time and are stepped by the main cycle; 1 idle.
    int Tag = 0;

    void FormActivate();
    void FormPaint();
    void FormClose();
    void FormMouseDown(int x, int y);
    // Alt with an arrow edits the curve; space stops all trains. True when the key was used.
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void btnOKClick();
    void btnAnnulerenClick();
    void btnLineairClick();
    void btnHelpClick();
    void lblSnelhMouseDown(Qt::MouseButton button);
    void lblStapMouseDown(Qt::MouseButton button);
    void btnIjkenClick();
    void btnPosNegFlankClick();
    void btnEnkelVooruitClick();

    // The graph as drawn: the silver field from (36,0) to (288,127) and its surroundings.
    vestrel::Canvas graph;

    QPushButton* btnOK = nullptr;
    QPushButton* btnAnnuleren = nullptr;
    QPushButton* btnLineair = nullptr;
    QPushButton* btnHelp = nullptr;
    QLabel* lblLocTekst = nullptr;
    QLabel* lblLoc = nullptr;
    QLabel* lblActSnelhTekst = nullptr;
    QLabel* lblActSnelh = nullptr;
    QLabel* lblActStapTekst = nullptr;
    QLabel* lblActStap = nullptr;
    QLabel* lblKm_h = nullptr;
    QLabel* lblSnelh = nullptr;
    QLabel* lblStapTekst = nullptr;
    QLabel* lblStap = nullptr;
    QFrame* pnlIjken = nullptr;
    QPushButton* btnIjken = nullptr;
    QPushButton* btnPosNegFlank = nullptr;
    QPushButton* btnEnkelVooruit = nullptr;
    QLineEdit* edtIngang1 = nullptr;
    QLineEdit* edtAfstand = nullptr;
    QLineEdit* edtIngang2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Where the "stap" and "km/h" captions end: the moving value labels stay right of it.
    int captionsRight() const;
};

extern TfrmCurve* frmCurve;

// The train dialog's curve button: shows the locomotive's curve at that screen position, unless the
// dialog is open already.
void openSpeedCurveDialog(LocoRec* loco, int left, int top);
// One edit of the curve (37 previous step, 39 next, 38 up, 40 down, 1 keep the measured value shown).
void editSpeedCurve(int code, int step);
// Draws the curve of gCurveLoco with the inverting pen: a second call erases it.
void drawSpeedCurve();
// The straight reference line up to the maximum speed in white, or erased in the field's silver.
void drawLinearSpeedLine(int erase);
// Closes the dialog when it shows this locomotive (its table replaced from the network, or deleted).
void closeSpeedCurveOf(const LocoRec* loco);
