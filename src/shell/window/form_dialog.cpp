#include "shell/window/form_dialog.h"

#include <QAbstractButton>
#include <QKeyEvent>

void TFormDialog::done(int result) {
    // Inside the close event (which ends in reject) or when hidden already, the dialog just hides.
    if (inCloseEvent_ || !isVisible()) {
        QDialog::done(closeResult_.value_or(result));
        return;
    }
    closeResult_ = result;
    close();
    closeResult_.reset();
}

bool TFormDialog::event(QEvent* event) {
    if (event->type() != QEvent::Close || inCloseEvent_) return QDialog::event(event);
    inCloseEvent_ = true;
    const bool handled = QDialog::event(event);
    inCloseEvent_ = false;
    return handled;
}

void TFormDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && cancelButton_) {
        if (cancelButton_->isEnabled() && cancelButton_->isVisible()) cancelButton_->click();
        return;
    }
    QDialog::keyPressEvent(event);
}
