#pragma once
// Settings dialog.
#include <QDialog>

class TfrmInstellingen : public QDialog {
    Q_OBJECT
public:
    explicit TfrmInstellingen(QWidget* parent = nullptr);
};

extern TfrmInstellingen* frmInstellingen;
