#pragma once
// Block dialog: number, automatic-mode properties, layer, reversing loop and per section its kind and
// feedback contact number.
#include <cstdint>

#include "layout/dialogs/element_dialog.h"
#include "layout/model/layout_model.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;
class QTableWidget;

class TfrmSektie : public TElementDialog {
    Q_OBJECT
public:
    explicit TfrmSektie(QWidget* parent = nullptr);
    void FormActivate() override;
    void FormClose() override;
    void btnOKClick();
    void edtNummerChange();
    void pnlPlusMin1MouseDown(int button);
    void edtSnelheidChange();
    void edtWachttijdChange();
    void strgrdSectiesSelectCell(int row, int column);
    void strgrdSectiesKeyPress(int key);
    void cboSecSoortClick();
    void cboSecSoortKeyDown(int key);
    void edtSecNrExit();
    void edtSecNrKeyDown(int key);
    void pnlPlusMin2MouseDown(int button);
    void fillSectionGrid();
    void clearSectionGrid();

    QLineEdit* edtNummer = nullptr;
    TPlusMinPanel* pnlPlusMin1 = nullptr;
    QGroupBox* grpAuto = nullptr;
    QLineEdit* edtSnelheid = nullptr;
    QLineEdit* edtWachttijd = nullptr;
    QComboBox* cboRichting = nullptr;
    QCheckBox* chboPersonen = nullptr;
    QCheckBox* chboGoederen = nullptr;
    QCheckBox* chboRangeer = nullptr;
    QCheckBox* chboAndere = nullptr;
    QCheckBox* chboBovenleiding = nullptr;
    QCheckBox* chboWachtPers = nullptr;
    QCheckBox* chboKeerlus = nullptr;
    QRadioButton* radbtnLaag[4] = {};
    QComboBox* cboSnelhcorrBocht = nullptr;
    QComboBox* cboSnelhcorrHeen = nullptr;
    QComboBox* cboSnelhcorrTerug = nullptr;
    QTableWidget* strgrdSecties = nullptr;
    QComboBox* cboSecSoort = nullptr;
    QLineEdit* edtSecNr = nullptr;
    TPlusMinPanel* pnlPlusMin2 = nullptr;
    QLabel* lblBloklengte = nullptr;

    // Every section's contact and kind as the dialog was filled: closing without OK puts them back, and
    // the journal's previous record holds them.
    int16_t backupInputs[kMaxSections] = {};
    uint8_t backupKinds[kMaxSections] = {};

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int section() const;  // the section of the grid's current row, -1 none
    void showSectionRow(int s);
    void setPropertiesEnabled(bool enabled);
    void restoreSections(BlockRec& b);
};

extern TfrmSektie* frmSektie;
