#pragma once
// The start-mode chooser (modal, at start) that later serves as the about box (modeless, OK only).
#include <QDialog>

#include "shell/model/version.h"

class QLabel;
class QPushButton;

class TfrmInfo : public QDialog {
    Q_OBJECT
public:
    explicit TfrmInfo(QWidget* parent = nullptr);

    QLabel* imgBrandelwynIcon = nullptr;
    QLabel* lblNaam = nullptr;
    QLabel* lblVersie = nullptr;
    QLabel* lblTekst1 = nullptr;
    QPushButton* btnStandAlone = nullptr;  // modal result 1, also Esc
    QPushButton* btnDemo = nullptr;        // 2
    QPushButton* btnServer = nullptr;      // 6
    QPushButton* btnClient = nullptr;      // 7
    QPushButton* btnOK = nullptr;          // 1, also Esc once the start buttons are gone

    // Any start button: the form turns into the about box.
    void btnStandAloneClick();
    void btnOKClick();
    // Shows the form modelessly as the about box.
    void showAboutBox();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPushButton* addButton(const char* name, const QString& caption, int x, int modalResult);
};

extern TfrmInfo* frmInfo;
