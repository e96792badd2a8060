#pragma once
// The confirmation window: a modal Yes/No question ("Ja" 6, "Nee" 7).
#include <QDialog>
#include <string>

class QLabel;
class QPushButton;

class TfrmBevestig : public QDialog {
    Q_OBJECT
public:
    explicit TfrmBevestig(QWidget* parent = nullptr);

    QLabel* lblTekst = nullptr;
    QPushButton* btnJa = nullptr;
    QPushButton* btnNee = nullptr;

    void setTekst(const std::string& text);
    const std::string& tekst() const { return tekst_; }
    void FormActivate();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::string tekst_;
};

extern TfrmBevestig* frmBevestig;
