#pragma once
// "Programmeren loc": writes configuration values into decoders during a session with track control in
// direct mode. DCC configuration variables go on the main track to one address or in service mode to
// every decoder on the track; Motorola registers go through the program-mode sequence
// (link/port/decoder_programming.h). It works on gProgLoco or gProgFunctionDecoder, which the control
// post or the function-decoder dialog choose before it opens.
#include <QString>

#include "shell/window/form_dialog.h"

class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

class TfrmProg : public TFormDialog {
    Q_OBJECT
public:
    explicit TfrmProg(QWidget* parent = nullptr);
    // 0 when the list is to be filled on the next activation, 3 after filling.
    int Tag = 0;

    QLabel* lblNummer = nullptr;
    QComboBox* cboNummer = nullptr;  // "Adres"
    QWidget* grpDCC = nullptr;
    QLabel* lblCVNr = nullptr;
    QLineEdit* edtCVNr = nullptr;
    QLabel* lblCVWaarde = nullptr;
    QLineEdit* edtCVWaarde = nullptr;
    QPushButton* btnSchrijvenAdres = nullptr;
    QPushButton* btnSchrijvenAlle = nullptr;
    QWidget* grpMM = nullptr;
    QLabel* lblRegister = nullptr;
    QLineEdit* edtRegister = nullptr;
    QLabel* lblRegWaarde = nullptr;
    QLineEdit* edtRegWaarde = nullptr;
    QPushButton* btnMMProgMode = nullptr;
    QPushButton* btnMMSchrijven = nullptr;
    QPushButton* btnMMAfsluiten = nullptr;
    QPushButton* btnAfsluiten = nullptr;
    QPushButton* btnHelp = nullptr;

    void FormActivate();
    void cboNummerChange();
    void btnSchrijvenAdresClick();
    void btnSchrijvenAlleClick();
    void btnMMProgModeClick();
    void btnMMSchrijvenClick();
    void btnMMAfsluitenClick();
    void btnAfsluitenClick();
    void FormClose();
    // The space bar (32) stops every train when no stop is in force.
    void FormKeyDown(int key);
    void btnHelpClick();

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void fillList();
    bool listsDecoders_ = false;  // the list holds function-decoder addresses
    bool activating_ = false;
};

extern TfrmProg* frmProg;

// The DCC write of both buttons: mode 1 on the main track to `address`, mode 2 in service mode. Only
// during a session with track control in direct mode; a CV outside 1..1024 or a value outside 0..255
// is refused with its message.
void writeCvFromDialog(int address, int mode, const QString& cvText, const QString& valueText);

// The sequencer disables the dialog while it works and enables it when done.
void enableProgDialog(bool on);
