#pragma once
// Guided demo window.
#include <QDialog>

class TfrmDemo : public QDialog {
    Q_OBJECT
public:
    explicit TfrmDemo(QWidget* parent = nullptr);
};

extern TfrmDemo* frmDemo;
