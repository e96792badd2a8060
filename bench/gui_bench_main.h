#pragma once
// The main of the benchmark programs that draw: text needs a GUI application (fonts), and the offscreen
// platform is enough unless QT_QPA_PLATFORM names another.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

inline int runGuiBenchmarks(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
