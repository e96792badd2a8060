#pragma once
// Wagon table.
#include <QDialog>

class TfrmWagons : public QDialog {
    Q_OBJECT
public:
    explicit TfrmWagons(QWidget* parent = nullptr);
    // What the form is open for (the control post sets and reads it).
    int Tag = 0;
};

extern TfrmWagons* frmWagons;
