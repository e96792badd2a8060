#pragma once
// "Vrije COM-poorten": the COM ports that can be opened now, for choosing ports in the settings.
#include <QDialog>

class QLabel;
class QPushButton;
class QShowEvent;

class TfrmComVrij : public QDialog {
    Q_OBJECT
public:
    explicit TfrmComVrij(QWidget* parent = nullptr);

    QLabel* lblComVrij = nullptr;
    QPushButton* btnOK = nullptr;

    // Lists COM1..COM9 that open now ("geen" for none) and places the window by the settings dialog.
    void FormShow();
    void btnOKClick();

protected:
    void showEvent(QShowEvent* e) override;
};

extern TfrmComVrij* frmComVrij;
