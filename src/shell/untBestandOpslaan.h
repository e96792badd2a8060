#pragma once
// Save question.
#include <QDialog>

class TfrmBestandOpslaan : public QDialog {
    Q_OBJECT
public:
    explicit TfrmBestandOpslaan(QWidget* parent = nullptr);
};

extern TfrmBestandOpslaan* frmBestandOpslaan;
