#pragma once
// The wagon table: creating, deleting and editing wagons in a grid; the chooser of a wagon to add to
// a train or to put on the track.
#include <string>
#include <vector>

#include "shell/window/form_dialog.h"

class QComboBox;
class QImage;
class QLabel;
class QPushButton;
class QTableWidget;
struct LocoRec;
struct WagonRec;

// The wagons the table lists; grid data row r (0-based) shows entry r.
extern std::vector<WagonRec*> gWagonList;

// Kind letters and their list positions: 'P' 0, 'G' 1, 'S' 2, 'H' 3; any other letter is position 2.
int wagonKindIndex(char kind);
char wagonKindLetter(int position);
// Selects the last item equal to the text; its index, -1 (nothing selected) when none.
int selectComboItemByText(QComboBox* combo, const QString& text);
int selectComboItemByNumber(QComboBox* combo, int number);
// "Locatie:  ..." of a wagon: where its ends stand and which locomotive it belongs to; narrow puts the
// owner on a second line.
std::string vehicleLocationText(const WagonRec& wagon, bool narrow);
// The location text in the label (narrow when the label is less than 300 pixels wide).
void showVehicleLocation(const WagonRec* wagon, QLabel* label);
// Queues the wagon's data for the peer when it was edited (3/37), and marks the locomotive file.
void commitWagonEdits(WagonRec* wagon);

class TfrmWagons : public TFormDialog {
    Q_OBJECT
public:
    explicit TfrmWagons(QWidget* parent = nullptr);
    // The mode the form is open in (0 closed, 3, 5, 8, 33); the control post sets and reads it.
    int Tag = 0;

    void FormActivate();
    void FormClose();
    void btnAfsluitenClick();
    void btnHelpClick();
    // Without a sender (the network client) they change the tables only; "Verwijderen" then deletes
    // gCurWagon.
    void btnNieuwClick(bool withSender = true);
    void btnVerwijderenClick(bool withSender = true);
    void imgWagonClick();
    QString strgrdWagonsGetEditMask(int col) const;
    // A cell's typed text; returns what the cell then holds (capped values are written back).
    QString strgrdWagonsSetEditText(int row, int col, const QString& text);
    void strgrdWagonsKeyPress(int key);
    void strgrdWagonsSelectCell(int row, int col);
    void strgrdWagonsTopLeftChanged();
    void strgrdWagonsDrawCell(int row, QImage& picture) const;
    void cboWagonFotoEnter();
    void cboWagonFotoExit();
    void cboWagonFotoKeyDown(int key);
    void cboWagonFotoChange();
    void cboWagonSoortChange();
    void cboWagonNummerChange();

    void fillWagonTableRow(WagonRec* wagon, int row);
    void clearWagonTableRow(int row);
    void fillWagonTable();
    void clearWagonTable();

    // The shown wagon's percentage cell, its row, the photo.
    void refreshPercent(const WagonRec* wagon);
    void refreshRow(const WagonRec* wagon);
    void showPhoto(const QImage& picture);
    // True when the form, open on a chain, shows wagons of this locomotive.
    bool listsChainOf(const LocoRec* loco) const;
    // The wagon is about to be freed (null: all of them): the form no longer lists it.
    void wagonFreed(const WagonRec* wagon);

    QTableWidget* strgrdWagons = nullptr;
    QComboBox* cboWagonFoto = nullptr;
    QComboBox* cboWagonSoort = nullptr;
    QComboBox* cboWagonNummer = nullptr;
    QLabel* imgWagon = nullptr;
    QLabel* lblWagonInfo = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnAfsluiten = nullptr;
    QPushButton* btnHelp = nullptr;
    QPushButton* btnNieuw = nullptr;
    QPushButton* btnVerwijderen = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyMode();
    void placeCombos(int row, int col);
    void showLocationAndDelete();
    void drawPicture();
    bool deletable(const WagonRec* wagon) const;
    void markChanged();
    bool cancelActive_ = true;
    bool deleting_ = false;
    bool filling_ = false;
};

extern TfrmWagons* frmWagons;
