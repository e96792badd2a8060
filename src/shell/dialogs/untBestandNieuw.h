#pragma once
// Name dialog for a new file and save as.
#include <QDialog>

class TfrmBestandNieuw : public QDialog {
    Q_OBJECT
public:
    explicit TfrmBestandNieuw(QWidget* parent = nullptr);
};

extern TfrmBestandNieuw* frmBestandNieuw;
