#include "shell/main/application.h"

#include <QMessageBox>

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        showException(e);
    } catch (...) {
        showUnknownException();
    }
    return false;
}

void showException(const std::exception& e) {
    QMessageBox::critical(nullptr, QStringLiteral("VestrelWin"), QString::fromLocal8Bit(e.what()));
}

void showUnknownException() {
    QMessageBox::critical(nullptr, QStringLiteral("VestrelWin"), QStringLiteral("Onbekende fout"));
}
