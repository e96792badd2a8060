#pragma once
// Model clock dialog: sets the model clock and the time base (model seconds per real second).
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TfrmTijd : public QDialog {
    Q_OBJECT
public:
    explicit TfrmTijd(QWidget* parent = nullptr);
    void FormActivate();
    void btnOKClick();
    void btnAnnulerenClick();
    // The time base stays within 1..60 while it is typed.
    void mskedtTijdbasisChange();
    // 1 when the key was taken (the space bar as the emergency stop).
    int FormKeyDown(int qtKey);

    QLabel* lblTijd = nullptr;
    QLineEdit* mskedtTijd = nullptr;
    QLabel* lblTijdbasis = nullptr;
    QLineEdit* mskedtTijdbasis = nullptr;
    QLabel* lblTijdbasisUitleg = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnAnnuleren = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

extern TfrmTijd* frmTijd;
