#pragma once
// Train management: creating, renumbering and deleting locomotives, their data and distance
// counters, and the composition of their train (wagons coupled in at a chosen place).
#include <vector>

#include "shell/window/form_dialog.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QImage;
struct LocoRec;
struct PositionRec;
struct WagonRec;

// The members of the shown train in grid order: the wagons of the rear chain, the locomotive itself
// (null), then the wagons of the front chain. Its size is the member count.
extern std::vector<WagonRec*> gTrainList;

// Why a locomotive could not be added.
enum class LocoAddResult { Added, InvalidNumber, NumberUsed, TableFull };
// Creates locomotive n with the defaults of a new locomotive, sorted into gLocs; as the server it
// tells the clients (2/0). A client applies the server's 2/0 through it as well.
LocoAddResult addLocomotive(int number);
// Gives the locomotive a new (unused, 1..9999) number and keeps gLocs, the slots, gLocsOnTrack, the
// control-post rows and the train dialog's list in number order. A client applies the server's 2/43
// through it as well.
void renumberLoco(LocoRec* loco, int number);

// Grid rows of the train (the wagons tab): row number, kind or photo, length in cm.
void fillWagonGridRow(QTableWidget* grid, const WagonRec* wagon, int row);
void clearWagonGridRow(QTableWidget* grid, int row);
void fillWagonGrid(QTableWidget* grid);
void clearWagonGrid(QTableWidget* grid);

class TfrmTrein : public TFormDialog {
    Q_OBJECT
public:
    explicit TfrmTrein(QWidget* parent = nullptr);

    void FormActivate();
    void FormClose();
    void btnAfsluitenClick();
    void btnHelpClick();
    void cboLocNummerClick();
    void btnLocToevoegenClick();
    void btnLocWijzigenClick();
    void btnLocVerwijderenClick();
    void imgLocFotoClick();
    void edtLocNaamChange();
    void cboLocFotoChange();
    void cboLocMotorChange();
    void cboLocSoortChange();
    void btnCurveClick();
    void edtMaxSnelhChange();
    void edtMaxSnelhExit();
    void cboDecoderChange();
    // The distance counters: double-click makes one editable, Enter stores it, Esc or leaving it
    // returns it to read-only.
    void edtKmTellerDblClick(QLineEdit* edit);
    void edtKmTellerKeyDown(QLineEdit* edit, int key);
    void edtKmTellerExit(QLineEdit* edit);
    void btnWagToevoegenClick();
    void btnWagVerwijderenClick();
    void strgrdWagonsDblClick();
    void strgrdWagonsTopLeftChanged();
    // The wagon's small photo stretched over column 1 of its row.
    void strgrdWagonsDrawCell(int row, QImage& picture) const;

    // The current locomotive, or none, shown again from scratch (its record may have changed); the
    // leaving locomotive, about to be freed, is no longer listed.
    void showNoneOrCurrent(const LocoRec* leaving = nullptr);
    // True when the shown train lists the wagon.
    bool listsWagon(const WagonRec* wagon) const;
    // Forgets the shown train (its wagons are about to change outside the dialog).
    void forgetTrainList();
    // The distance counters of the shown locomotive, unless one is being edited.
    void showKmCounters(const LocoRec* loco);
    // The train length read-outs of the shown locomotive.
    void showTrainLength(const LocoRec* loco);
    // The maximum speed of the shown locomotive (its speed curve changed).
    void showMaxSpeed(const LocoRec* loco);
    // The grid row of the wagon, repainted.
    void refreshWagonRow(const WagonRec* wagon);

    QComboBox* cboLocNummer = nullptr;
    QLineEdit* edtLocNummer = nullptr;
    QPushButton* btnLocToevoegen = nullptr;
    QPushButton* btnLocWijzigen = nullptr;
    QPushButton* btnLocVerwijderen = nullptr;
    QLabel* imgLocFoto = nullptr;
    QTabWidget* pctTrein = nullptr;
    QWidget* tshLoc = nullptr;
    QWidget* tshWagons = nullptr;
    QLineEdit* edtLocNaam = nullptr;
    QComboBox* cboLocFoto = nullptr;
    QComboBox* cboLocMotor = nullptr;
    QComboBox* cboLocSoort = nullptr;
    QLineEdit* edtMaxSnelh = nullptr;
    QComboBox* cboDecoder = nullptr;
    QLineEdit* edtKmTellerTot = nullptr;
    QLineEdit* edtKmTellerTotH = nullptr;
    QLineEdit* edtKmTellerDag = nullptr;
    QPushButton* btnCurve = nullptr;
    QTableWidget* strgrdWagons = nullptr;
    QPushButton* btnWagToevoegen = nullptr;
    QPushButton* btnWagVerwijderen = nullptr;
    QLabel* lblTreinLengte = nullptr;
    QLabel* lblLengte = nullptr;
    QLabel* lblKorteLangeTrein = nullptr;
    QLabel* lblHulpLoc = nullptr;
    QLabel* lblHulpLocInfo = nullptr;
    QPushButton* btnHelp = nullptr;
    QPushButton* btnAfsluiten = nullptr;
    int Tag = 0;
    // The locomotive whose data the fields show (the number list's selection).
    LocoRec* shownLoco = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend void renumberLoco(LocoRec* loco, int number);
    void buildLocoTab();
    void buildWagonsTab();
    void fillNumberList(const LocoRec* except = nullptr);
    void showLocoFields(LocoRec* loco);
    void clearFields();
    void showPhoto(const std::string& name);
    void rebuildTrainList(LocoRec* loco);
    void showWagonsPart(LocoRec* loco);
    void takeMaxSpeed(int value);
    void markChanged();
    void couplingFailed(LocoRec* loco, WagonRec* wagon, int row, const PositionRec& front);
    QLineEdit* kmEdits_[3] = {};
    bool filling_ = false;
};

extern TfrmTrein* frmTrein;
