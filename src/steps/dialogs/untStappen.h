#pragma once
// Step-program editor.
#include <QDialog>

class TfrmStappen : public QDialog {
    Q_OBJECT
public:
    explicit TfrmStappen(QWidget* parent = nullptr);
};

extern TfrmStappen* frmStappen;
