// VestrelAnim: the little animation the main program's "Animatie" starts; it reads no file or argument.
#include "untVestrelAnim.h"

#include <QApplication>
#include <QMessageBox>

#include <exception>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    try {
        TfrmVestrelAnim form;
        form.show();
        return app.exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, "VestrelAnim", QString::fromLocal8Bit(e.what()));
        return 1;
    }
}
