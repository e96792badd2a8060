#pragma once
// The save question: asked before an action would drop unsaved changes of the layout or of the
// locomotive data (a new or other file, a session start or stop, leaving the program).
#include <string>

#include "shell/window/form_dialog.h"

class QLabel;
class QPushButton;

class TfrmBestandOpslaan : public TFormDialog {
    Q_OBJECT
public:
    explicit TfrmBestandOpslaan(QWidget* parent = nullptr);

    QLabel* lblTekst = nullptr;
    QPushButton* btnJa = nullptr;
    QPushButton* btnNeen = nullptr;
    QPushButton* btnAnnuleren = nullptr;

    void FormActivate();
    void btnJaClick();
    void btnNeenClick();
    void btnAnnulerenClick() { close(); }
    void FormClose();
    const std::string& tekst() const { return tekst_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setTekst(const std::string& text);
    std::string tekst_;
};

extern TfrmBestandOpslaan* frmBestandOpslaan;
