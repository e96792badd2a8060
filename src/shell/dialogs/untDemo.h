#pragma once
// The demo window: the current explanation line, "VERDER" to go on and "STOP" to end the demo.
#include <QDialog>

class QLabel;
class QPushButton;

class TfrmDemo : public QDialog {
    Q_OBJECT
public:
    explicit TfrmDemo(QWidget* parent = nullptr);

    QLabel* lblTekst = nullptr;
    QLabel* lblDemoLoopt = nullptr;
    QPushButton* btnVerder = nullptr;
    QPushButton* btnStop = nullptr;

    void btnVerderClick();
    void btnStopClick();
    // At the bottom of the screen, moved up as far as needed to stay on it.
    void placeAtBottom();

protected:
    bool event(QEvent* event) override;
};

extern TfrmDemo* frmDemo;
