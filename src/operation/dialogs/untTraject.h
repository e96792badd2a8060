#pragma once
// Route editor.
#include <QDialog>

class TfrmTraject : public QDialog {
    Q_OBJECT
public:
    explicit TfrmTraject(QWidget* parent = nullptr);
    // Takes up the block the editor selected (gSelectedBlock) and refreshes the dialog.
    void FormActivate();
};

extern TfrmTraject* frmTraject;
