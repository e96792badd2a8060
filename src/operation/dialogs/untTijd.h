#pragma once
// Model clock dialog.
#include <QDialog>

class TfrmTijd : public QDialog {
    Q_OBJECT
public:
    explicit TfrmTijd(QWidget* parent = nullptr);
};

extern TfrmTijd* frmTijd;
