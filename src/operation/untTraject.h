#pragma once
// Route editor.
#include <QDialog>

class TfrmTraject : public QDialog {
    Q_OBJECT
public:
    explicit TfrmTraject(QWidget* parent = nullptr);
};

extern TfrmTraject* frmTraject;
