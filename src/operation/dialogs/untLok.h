#pragma once
// Locomotive panel.
#include <QDialog>

class TfrmLok : public QDialog {
    Q_OBJECT
public:
    explicit TfrmLok(QWidget* parent = nullptr);
};

extern TfrmLok* frmLok;
