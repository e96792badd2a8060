#pragma once
// Free COM ports.
#include <QDialog>

class TfrmComVrij : public QDialog {
    Q_OBJECT
public:
    explicit TfrmComVrij(QWidget* parent = nullptr);
};

extern TfrmComVrij* frmComVrij;
