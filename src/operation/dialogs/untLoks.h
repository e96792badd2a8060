#pragma once
// Driving panel.
#include <QDialog>

class TfrmLoks : public QDialog {
    Q_OBJECT
public:
    explicit TfrmLoks(QWidget* parent = nullptr);
};

extern TfrmLoks* frmLoks;
