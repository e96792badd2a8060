#pragma once
// Output dialog.
#include <QDialog>

class TfrmUitgang : public QDialog {
    Q_OBJECT
public:
    explicit TfrmUitgang(QWidget* parent = nullptr);
};

extern TfrmUitgang* frmUitgang;
