#pragma once
// Connecting-track dialog.
#include <QDialog>

class TfrmSpoor : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSpoor(QWidget* parent = nullptr);
};

extern TfrmSpoor* frmSpoor;
