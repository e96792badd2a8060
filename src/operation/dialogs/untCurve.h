#pragma once
// Speed curve and calibration.
#include <QDialog>

class TfrmCurve : public QDialog {
    Q_OBJECT
public:
    explicit TfrmCurve(QWidget* parent = nullptr);
    // The calibration state: negative states wait for time and are stepped by the main cycle.
    int Tag = 0;
};

extern TfrmCurve* frmCurve;
