#pragma once
// Route editor.
#include <QDialog>

class TfrmTraject : public QDialog {
    Q_OBJECT
public:
    explicit TfrmTraject(QWidget* parent = nullptr);
    // Takes up the block the editor selected (gSelectedBlock) and refreshes the dialog.
    void FormActivate();
    int Tag = 0;  // 0: shows the route from its first line
};

extern TfrmTraject* frmTraject;
