#pragma once
// Name dialog: a new layout or locomotive file, or saving one under another name; gEditMode says which.
#include <string>

#include "shell/window/form_dialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TfrmBestandNieuw : public TFormDialog {
    Q_OBJECT
public:
    explicit TfrmBestandNieuw(QWidget* parent = nullptr);

    QLabel* lblNaam = nullptr;
    QLineEdit* edtNaam = nullptr;
    QLabel* lblSchaal = nullptr;
    QComboBox* cboSchaal = nullptr;
    QCheckBox* chboVarWissel = nullptr;
    QLabel* lblZoom = nullptr;
    QComboBox* cboZoom = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnAnnuleren = nullptr;
    QPushButton* btnHelp = nullptr;

    void FormActivate();
    void edtNaamChange();
    void btnOKClick();
    void btnAnnulerenClick() { close(); }
    void FormClose();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void finish();
};

extern TfrmBestandNieuw* frmBestandNieuw;

// A file name without the characters a file name cannot hold (control characters, 127 and
// \ / : * ? " < > |).
std::string withoutForbiddenCharacters(const std::string& name);
