#pragma once
// Locomotive panel: puts a locomotive with its train on the track at a chosen block (Tag 3, 5 once
// confirmed), or drives one that is on the track (Tag 8). 0 closed.
#include <cstdint>

#include "shell/window/form_dialog.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
struct LocoRec;

constexpr int kLokFunctionPanels = 21;  // F0..F20

class TfrmLok : public TFormDialog {
    Q_OBJECT
public:
    explicit TfrmLok(QWidget* parent = nullptr);
    // What the form is open for (the control post sets and reads it).
    int Tag = 0;

    void FormActivate();
    void FormClose();
    // Key preview: true when the key was used.
    bool FormKeyDown(QKeyEvent* key);
    void FormKeyUp();
    void btnOKClick(bool fromUser = true);
    void btnAnnulerenClick();
    void cboLocNummerChange();
    void edtBlokNrChange();
    void cboRichtingChange();
    void tbarVersnellingChange();
    void tbarSnelheidChange() {}
    void grpStuurMouseMove(Qt::MouseButtons buttons, int x, int y);
    void grpStuurMouseDown(Qt::MouseButton button, int x, int y);
    void btnLok0Click();
    void btnMode0Click();
    void btnRich0Click();
    void lblPauzetelDblClick();
    void edtPauzetelKeyDown(int key);
    void edtPauzetelExit();
    void lblKmTellerDagDblClick();
    void edtKmTellerDagKeyDown(int key);
    void edtKmTellerDagExit();
    void chboVersnellingClick();
    void pnlSnelhcorrautoClick();
    void pnlForceRijdenClick();
    void pnlF0Click(QLabel* panel);
    void edtStartpauzetijdChange();
    void btnTrajectClick();
    void btnFunctieDecClick();
    void btnHelpClick();

    // The driving group's values of the locomotive (speed, wait, counters, flags, buttons).
    void showDrivingValues(LocoRec* loco);
    // The speed bar and the speed of the current step.
    void showSpeed(LocoRec* loco);
    // The wait label.
    void showWait(int wait);
    // The kilometre counters (the day edit only while it is hidden).
    void showKmCounters(LocoRec* loco);
    // The locomotive this panel drives (driving use, shown), else null.
    LocoRec* drivenLoco() const;

    QLabel* imgLocBeeld = nullptr;
    QLabel* lblBlokNr = nullptr;
    QLineEdit* edtBlokNr = nullptr;
    QLabel* lblNummer = nullptr;
    QComboBox* cboLocNummer = nullptr;
    QLabel* lblRichtingHT = nullptr;
    QComboBox* cboRichting = nullptr;
    QComboBox* cboSecSoort = nullptr;
    QComboBox* cboLocSoort = nullptr;
    QComboBox* cboLocMotor = nullptr;
    QGroupBox* grpStuur = nullptr;
    QSlider* tbarVersnelling = nullptr;
    QLabel* lblVersn = nullptr;
    QSlider* tbarSnelheid = nullptr;
    QLabel* lblKm_h = nullptr;
    QLabel* lblReeleSnelh = nullptr;
    QLabel* lblMaxSnelheid = nullptr;
    QPushButton* btnLok0 = nullptr;
    QPushButton* btnMode0 = nullptr;
    QPushButton* btnRich0 = nullptr;
    QLabel* lblPauzetel = nullptr;
    QLineEdit* edtPauzetel = nullptr;
    QLabel* lblKmTellerTot = nullptr;
    QLabel* lblKmTellerDag = nullptr;
    QLineEdit* edtKmTellerDag = nullptr;
    QLabel* lblSnelhcorr = nullptr;
    QCheckBox* chboVersnelling = nullptr;
    QLabel* pnlSnelhcorrauto = nullptr;
    QLabel* pnlForceRijden = nullptr;
    QLineEdit* edtStartpauzetijd = nullptr;
    QLabel* lblSeconde = nullptr;
    QLabel* pnlF[kLokFunctionPanels] = {};
    QPushButton* btnOK = nullptr;
    QPushButton* btnAnnuleren = nullptr;
    QPushButton* btnTraject = nullptr;
    QPushButton* btnFunctieDec = nullptr;
    QPushButton* btnHelp = nullptr;
    // Whether Esc acts on btnAnnuleren (off while the wait is being typed).
    bool annulerenCancels = true;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void startPutting();
    void startDriving();
    void activatePutting();
    void activateDriving();
    void showCommon();
    void listLocos(bool onTrack);
    void showPhoto(LocoRec* loco);
    void layoutForDecoder(const LocoRec* loco);
    // The button row at `top`, the form's bottom below it.
    void placeButtons(int top);
    LocoRec* shownPhotoLoco_ = nullptr;
    bool filling_ = false;
};

extern TfrmLok* frmLok;

// The function panels the locomotive's decoder has, when the panel drives it.
void refreshFunctionPanels(LocoRec* loco);
// Panel Fn lowered and yellow when the function is on, raised in the button face when off.
void showLocoPanelFunction(LocoRec* loco, int n);
// The ASC and Force panels: lowered and coloured when on.
void showAscPanel(LocoRec* loco);
void showForcePanel(LocoRec* loco);
