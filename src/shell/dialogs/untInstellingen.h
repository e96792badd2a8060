#pragma once
// Settings dialog.
#include <QDialog>

class TfrmInstellingen : public QDialog {
    Q_OBJECT
public:
    explicit TfrmInstellingen(QWidget* parent = nullptr);
};

extern TfrmInstellingen* frmInstellingen;

// The feedback visualisation changed: every block with occupied sections is drawn again; flag 0 also
// closes the message window.
void applyFeedbackVisualisation(int flag);
