#pragma once
// Signal dialog.
#include <QDialog>

class TfrmSein : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSein(QWidget* parent = nullptr);
};

extern TfrmSein* frmSein;
