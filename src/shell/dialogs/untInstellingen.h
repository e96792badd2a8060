#pragma once
// Settings dialog.
#include <QDialog>

class QLineEdit;

class TfrmInstellingen : public QDialog {
    Q_OBJECT
public:
    explicit TfrmInstellingen(QWidget* parent = nullptr);

    // The server a client connects to, by name or by address (20 characters each; vestrelnet.cfg).
    QLineEdit* edtPCNaam = nullptr;
    QLineEdit* edtPCAdres = nullptr;
};

extern TfrmInstellingen* frmInstellingen;

// The feedback visualisation changed: every block with occupied sections is drawn again; flag 0 also
// closes the message window.
void applyFeedbackVisualisation(int flag);
