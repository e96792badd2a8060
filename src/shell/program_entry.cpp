#include "shell/program_entry.h"

#include <QApplication>

int WinMain(int argc, char** argv) {
    QApplication app(argc, argv);
    return 0;
}
