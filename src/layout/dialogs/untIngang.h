#pragma once
// Input dialog.
#include <QDialog>

class TfrmIngang : public QDialog {
    Q_OBJECT
public:
    explicit TfrmIngang(QWidget* parent = nullptr);
};

extern TfrmIngang* frmIngang;
