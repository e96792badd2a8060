#pragma once
// Shared set-up for the connection analysis tests: a fresh working folder, the layout "proef.vtl"
// and a desktop that records what it was asked to open instead of starting a program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "layout/model/layout_model.h"
#include "layout_builder.h"
#include "platform/desktop.h"
#include "test_support.h"

class AnalysisTest : public ::testing::Test {
protected:
    void SetUp() override {
        gLayoutFileName = "proef.vtl";
        gSnapTolerance = 4;
        vestrel::setDesktopOpener([this](const std::string& path) {
            opened.push_back(path);
            return true;
        });
    }
    void TearDown() override { vestrel::setDesktopOpener(nullptr); }

    std::string reportText() const {
        std::vector<uint8_t> bytes = testsupport::readBytes(dir.file("proef.log"));
        return std::string(bytes.begin(), bytes.end());
    }

    testsupport::ScratchDir dir;
    std::vector<std::string> opened;  // paths the desktop was asked to open
};
