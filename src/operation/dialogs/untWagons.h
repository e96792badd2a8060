#pragma once
// Wagon table.
#include <QDialog>

class TfrmWagons : public QDialog {
    Q_OBJECT
public:
    explicit TfrmWagons(QWidget* parent = nullptr);
};

extern TfrmWagons* frmWagons;
