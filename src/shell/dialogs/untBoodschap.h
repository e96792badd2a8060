#pragma once
// The message window: a modeless stay-on-top window with a text and OK.
#include <string>

#include "shell/window/form_dialog.h"

class QLabel;
class QPushButton;

class TfrmBoodschap : public TFormDialog {
    Q_OBJECT
public:
    explicit TfrmBoodschap(QWidget* parent = nullptr);

    QLabel* lblTekst = nullptr;
    QPushButton* btnOK = nullptr;

    // The text in 8-bit Windows text.
    void setTekst(const std::string& text);
    const std::string& tekst() const { return tekst_; }
    // Shows the window modelessly and brings it to the front.
    void showMessage();

    void FormActivate();
    void FormClose();
    void btnOKClick();
    // The window sees keys before its controls; true when the key was used.
    bool FormKeyDown(int key);

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fitToText();
    std::string tekst_;
};

extern TfrmBoodschap* frmBoodschap;
