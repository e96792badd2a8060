#pragma once
// The direction dialog: before the connections of a changed layout are used, the user confirms with a
// red arrow on the diagram which way of the reference block is 'heen' (outward). The connection
// analysis then settles every other direction, and the action that needed it (session start, save,
// open, new, save as, exit, or the connections command) goes on.
#include <string>

#include "shell/window/form_dialog.h"

class QLabel;
class QPushButton;

class TfrmEerstePunt : public TFormDialog {
    Q_OBJECT
public:
    explicit TfrmEerstePunt(QWidget* parent = nullptr);

    QLabel* lblTekst = nullptr;
    QPushButton* btnJa = nullptr;
    QPushButton* btnNee = nullptr;
    QPushButton* btnAnnuleren = nullptr;

    // The whole flow. The first call asks the question and returns; each later call (the buttons, or
    // the editor with a click on the diagram while the dialog is open) takes the answer from the
    // editor's pick point gMousePoint at one of the block's ends and, once answered, runs the analysis
    // and continues the pending action gEditMode.
    void FormActivate();
    void FormClose();
    void btnJaClick();
    void btnNeeClick();
    void btnAnnulerenClick();
    // The dialog sees keys before its buttons; true when the key was used.
    bool FormKeyDown(int key);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void askQuestion();
    void showQuestion(const std::string& text);
    bool takeAnswer();
    void continuePendingAction();
};

extern TfrmEerstePunt* frmEerstePunt;
