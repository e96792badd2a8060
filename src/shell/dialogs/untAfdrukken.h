#pragma once
// Print dialog.
#include <QDialog>

class TfrmAfdrukken : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAfdrukken(QWidget* parent = nullptr);
};

extern TfrmAfdrukken* frmAfdrukken;
