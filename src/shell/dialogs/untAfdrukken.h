#pragma once
// Print dialog: prints the main window as shown, proportional or fitted to the paper.
#include <QDialog>

class QGroupBox;
class QPushButton;
class QRadioButton;

class TfrmAfdrukken : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAfdrukken(QWidget* parent = nullptr);

    QRadioButton* radbtnProportioneel = nullptr;
    QRadioButton* radbtnAangepast = nullptr;
    QGroupBox* radgrpOrient = nullptr;  // items "Portrait" (0) and "Landscape" (1)
    QRadioButton* radPortrait = nullptr;
    QRadioButton* radLandscape = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnAnnuleren = nullptr;

    void FormActivate();
    void radbtnProportioneelClick();
    void radbtnAangepastClick();
    void btnOKClick();
    void btnAnnulerenClick() { close(); }

protected:
    void showEvent(QShowEvent* event) override;
};

extern TfrmAfdrukken* frmAfdrukken;
