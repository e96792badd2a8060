#pragma once
// Train management.
#include <QDialog>

class TfrmTrein : public QDialog {
    Q_OBJECT
public:
    explicit TfrmTrein(QWidget* parent = nullptr);
};

extern TfrmTrein* frmTrein;
