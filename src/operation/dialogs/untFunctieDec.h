#pragma once
// Function decoders: adding and deleting them, their names, protocol, function count and function
// names, coupling one to a locomotive, switching its functions and saving their file.
#include "shell/window/form_dialog.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
struct FunctionDecoderRec;

// Panel n (1..28) of the dialog shows function n of the decoder: lowered and yellow when on, raised
// in the button face colour when off (only while the dialog shows that decoder).
void showDecoderPanelFunction(const FunctionDecoderRec* decoder, int n);

class TfrmFunctieDec : public TFormDialog {
    Q_OBJECT
public:
    explicit TfrmFunctieDec(QWidget* parent = nullptr);
    static constexpr int kPanels = 28;

    void FormActivate();
    void FormClose();
    void btnOpslaanClick();
    void btnAfsluitenClick();
    void btnHelpClick();
    // Without a sender (the network client) "Verwijderen" deletes gCurFunctionDecoder unasked.
    void btnFdecToevoegenClick();
    void btnFdecVerwijderenClick(bool withSender = true);
    // The work of the two: without a sender (the network receiver applying what the server's dialog did)
    // nothing is shown or asked and the dialog keeps the decoder it shows unless that one goes.
    void addDecoder(int address, bool withSender);
    void deleteDecoder(FunctionDecoderRec* d, bool withSender);
    void cboFdecNummerChange();
    void edtFdecNaamExit();
    void cboDCCChange();
    void cboLocChange();
    void btnLocClick();
    void cboFdecAantalChange();
    void edtF1Exit(int n);    // function-name edit n (1..28) left
    void pnlF1Click(int n);   // function panel n (1..28) clicked
    // Opens the programming dialog for the current decoder (direct mode, no Motorola sequence running).
    void btnCVProgClick();
    void showPanel(const FunctionDecoderRec* decoder, int n);

    QLineEdit* edtFdecNummer = nullptr;
    QLineEdit* edtFdecNaam = nullptr;
    QComboBox* cboFdecNummer = nullptr;
    QPushButton* btnFdecToevoegen = nullptr;
    QPushButton* btnFdecVerwijderen = nullptr;
    QComboBox* cboDCC = nullptr;
    QComboBox* cboLoc = nullptr;
    QPushButton* btnLoc = nullptr;
    QComboBox* cboFdecAantal = nullptr;
    QLabel* pnlF[kPanels] = {};     // pnlF1..pnlF28 in function order
    QLineEdit* edtF[kPanels] = {};  // edtF1..edtF28 in function order
    QPushButton* btnCVProg = nullptr;
    QPushButton* btnOpslaan = nullptr;
    QPushButton* btnAfsluiten = nullptr;
    QPushButton* btnHelp = nullptr;
    int Tag = 0;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillNumberList();
    void refreshIfShown();
    void showDecoder(FunctionDecoderRec* d);
    void placeButtons(int count);
    bool filling_ = false;
};

extern TfrmFunctieDec* frmFunctieDec;
