#pragma once
// Settings dialog: shows the settings of vestrel.cfg and vestrelnet.cfg; OK applies every change at
// once and writes both files.
#include <QDialog>
#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

class TfrmInstellingen : public QDialog {
    Q_OBJECT
public:
    explicit TfrmInstellingen(QWidget* parent = nullptr);

    QTabWidget* pctInstellingen = nullptr;
    QWidget* tshAlgemeen = nullptr;
    QWidget* tshReeleMode = nullptr;
    QWidget* tshNet = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnAnnuleren = nullptr;
    QPushButton* btnHelp = nullptr;

    // Algemeen
    QComboBox* cboSchaal = nullptr;
    QComboBox* cboZoom = nullptr;
    QCheckBox* chboVarWissel = nullptr;
    QCheckBox* chboVisuNummer = nullptr;
    QCheckBox* chboVisuSectie = nullptr;
    QCheckBox* chboCyclus46ms = nullptr;
    QCheckBox* chboAchtergrondbeeld = nullptr;
    QPushButton* btnBeeldGroep = nullptr;
    QGroupBox* grpBeeld = nullptr;
    QLineEdit* edtBeeldNaam = nullptr;
    QLineEdit* edtBeeldX = nullptr;
    QLineEdit* edtBeeldY = nullptr;
    QLineEdit* edtBeeldZoom = nullptr;
    QCheckBox* chboBeeldTransparant = nullptr;
    QCheckBox* chboBeeldVaag = nullptr;
    QGroupBox* grpStuurpost = nullptr;
    QComboBox* cboOrientatie = nullptr;
    QLineEdit* mskedtTijdbasis = nullptr;
    QLineEdit* edtLengteKorte = nullptr;
    QLineEdit* edtSnelhOranje = nullptr;
    QCheckBox* chboVisuVerbinding = nullptr;

    // Online
    QCheckBox* chboDirectBooster = nullptr;
    QComboBox* cboCompoort = nullptr;
    QPushButton* btnCompoort = nullptr;
    QComboBox* cboCompoortb = nullptr;
    QPushButton* btnCompoortb = nullptr;
    QRadioButton* radbtnP50_P50X = nullptr;
    QRadioButton* radbtnP50X = nullptr;
    QLabel* lblBaudrate = nullptr;
    QComboBox* cboBaudrate = nullptr;
    QLabel* lblStopbits = nullptr;
    QCheckBox* chboCTS = nullptr;
    QComboBox* cboS88poort = nullptr;
    QPushButton* btnS88poort = nullptr;
    QLineEdit* edtLPTAdres = nullptr;
    QPushButton* btnResetLPTAdres = nullptr;
    QLabel* lblS88Baudrate = nullptr;
    QComboBox* cboS88Baudrate = nullptr;
    QCheckBox* chboKortsluitbeveiliging = nullptr;
    QCheckBox* chboPosV = nullptr;
    QCheckBox* chboMolaTussentijd = nullptr;
    QCheckBox* chboMolaWisselSein115200 = nullptr;
    QCheckBox* chboMolaLoc7bit = nullptr;
    QCheckBox* chboDCC19200 = nullptr;
    QCheckBox* chboWSDecTussentijd = nullptr;
    QCheckBox* chboMMWisselSeinCont = nullptr;
    QCheckBox* chboWagondetectie = nullptr;
    QCheckBox* chboPositiecontrole = nullptr;
    QCheckBox* chboVerkeerdeWeg = nullptr;
    QCheckBox* chboVisuTerugmeld = nullptr;

    // Net
    QRadioButton* rbtnStandalone = nullptr;
    QRadioButton* rbtnServer = nullptr;
    QRadioButton* rbtnKlient = nullptr;
    QGroupBox* grpServer = nullptr;
    // The server a client connects to, by name or by address (20 characters each; vestrelnet.cfg).
    QLineEdit* edtPCNaam = nullptr;
    QLineEdit* edtPCAdres = nullptr;  // typed in the mask 000.000.000.000
    QPushButton* btnActiveerSocket = nullptr;
    QLabel* lblServerNaam = nullptr;

    // withSender: called as the window's show event (also loads the network part).
    void FormShow(bool withSender);
    void FormActivate();
    void btnOKClick();
    void btnAnnulerenClick() { close(); }
    void btnHelpClick();
    void btnBeeldGroepClick();
    void edtBeeldNaamDblClick();
    void edtBeeldZoomExit();
    void mskedtTijdbasisChange();
    void edtLengteKorteExit();
    void edtSnelhOranjeExit();
    void chboDirectBoosterClick() { FormActivate(); }
    void btnCompoortClick();
    void chboKortsluitbeveiligingClick();
    // userPick: the user chose the port (the 278/378 switch applies only then).
    void cboS88poortClick(bool userPick);
    void btnResetLPTAdresClick();
    void rbtnStandaloneClick();
    void rbtnServerClick();
    void rbtnKlientClick();
    void edtPCNaamKeyDown();
    void edtPCAdresKeyDown();
    void btnActiveerSocketClick();
    // The server's address as typed, empty when the field holds no digit (only the mask's dots).
    std::string serverAddress() const;
    // Shows the window; when it is already open, its controls show the current settings again.
    void showOrRefresh();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void buildAlgemeen();
    void buildReeleMode();
    void buildNet();
};

extern TfrmInstellingen* frmInstellingen;

// The feedback visualisation changed: every block with occupied sections is drawn again; flag 0 also
// closes the message window.
void applyFeedbackVisualisation(int flag);

// The corrections of the dialog's number fields.
int clampTimeBase(int v);          // 1..60
int clampShortTrain(int v);        // 0..300 cm
int clampOrangeSpeed(int v);       // 0, or 30..70
int clampBackgroundZoom(int v);    // 10..500 %
