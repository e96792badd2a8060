#pragma once
// A program form whose own closing runs however it goes away: its close box, Esc, or a call of accept
// or reject. A plain dialog hides on Esc and on accept or reject without a close event, which would
// leave the form's work (its mode, the active-dialog code, an unsaved record) behind it.
#include <QDialog>
#include <optional>

class QAbstractButton;

class TFormDialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;
    // Goes through the close event; a refused close keeps the form open. The result stays the one given.
    void done(int result) override;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Esc presses this button when it is enabled (and does nothing while it is not), as a cancel button
    // takes Esc. Without one, Esc closes the form.
    void setCancelButton(QAbstractButton* button) { cancelButton_ = button; }

private:
    bool inCloseEvent_ = false;
    std::optional<int> closeResult_;
    QAbstractButton* cancelButton_ = nullptr;
};
