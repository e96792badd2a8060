#pragma once
// Direction ("heen") dialog.
#include <QDialog>

class TfrmEerstePunt : public QDialog {
    Q_OBJECT
public:
    explicit TfrmEerstePunt(QWidget* parent = nullptr);
};

extern TfrmEerstePunt* frmEerstePunt;
