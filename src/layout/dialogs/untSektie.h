#pragma once
// Block dialog.
#include <QDialog>

class TfrmSektie : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSektie(QWidget* parent = nullptr);
};

extern TfrmSektie* frmSektie;
