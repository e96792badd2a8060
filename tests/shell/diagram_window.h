#pragma once
// The real main window, started in a scratch folder, with its timer stopped so that a test runs the
// cycle tick by tick.
#include <gtest/gtest.h>

#include <QTimer>

#include "shell/window/untSchema.h"
#include "shell_test_support.h"

class DiagramWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        program.start();
        frmSchema->Timer1->stop();
    }
    RunningProgram program;
};
