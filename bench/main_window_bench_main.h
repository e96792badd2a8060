#pragma once
// The main of the benchmark programs that run the real main window: its forms exist, and it reads and
// writes its configuration in a scratch working folder. With the timer stopped, only the benchmark
// drives the cycle.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <unistd.h>

#include "shell/main/program_entry.h"
#include "shell/window/untSchema.h"

inline int runMainWindowBenchmarks(int argc, char** argv, bool stopTimer) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QTemporaryDir folder;
    if (!folder.isValid() || chdir(folder.path().toLocal8Bit().constData()) != 0) return 1;
    QApplication app(argc, argv);
    createForms();
    if (stopTimer) frmSchema->Timer1->stop();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    destroyForms();
    return 0;
}
