#pragma once
// Direction ("heen") dialog.
#include <QDialog>

class TfrmEerstePunt : public QDialog {
    Q_OBJECT
public:
    explicit TfrmEerstePunt(QWidget* parent = nullptr);
    // The whole direction flow; the editor calls it again for every command while the dialog is open.
    void FormActivate();
};

extern TfrmEerstePunt* frmEerstePunt;
