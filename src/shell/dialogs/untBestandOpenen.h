#pragma once
// File chooser for opening and deleting files.
#include <QDialog>

class TfrmBestandOpenen : public QDialog {
    Q_OBJECT
public:
    explicit TfrmBestandOpenen(QWidget* parent = nullptr);
};

extern TfrmBestandOpenen* frmBestandOpenen;
