// The connection report file and how it reaches the user.
#include <gtest/gtest.h>

#include <filesystem>

#include "layout/analysis_fixture.h"
#include "layout/analysis/connection_analysis.h"
#include "layout/analysis/connection_report.h"
#include "platform/paths.h"
#include "shell/config/messages.h"

namespace {

// A balloon behind a crossing (block 1 -> crossing -> turnout 1 -> round through block 2 and back
// into the turnout's diverging exit) and block 3 standing alone.
void buildLayoutWithProblems() {
    LayoutBuilder()
        .block(1, {{100, 200}, {200, 200}, {280, 200}})
        .turnout('x', 0, {{280, 200}, {300, 200}, {294, 194}, {286, 206}})
        .turnout('l', 1, {{300, 200}, {320, 200}, {314, 190}})
        .track({{320, 200}, {400, 200}})
        .block(2, {{400, 200}, {450, 200}, {500, 200}})
        .track({{500, 200}, {550, 100}, {314, 100}, {314, 190}})
        .block(3, {{100, 400}, {200, 400}, {300, 400}});
}

std::string fileText(const std::string& path) {
    std::vector<uint8_t> bytes = testsupport::readBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

TEST(ConnectionReportName, LastThreeCharactersBecomeLog) {
    EXPECT_EQ(connectionReportName("proef.vtl"), "proef.log");
    EXPECT_EQ(connectionReportName("geennaam.vtl"), "geennaam.log");
    EXPECT_EQ(connectionReportName("ab"), "log");
}

TEST_F(AnalysisTest, ReportOfLayoutWithProblemsMatchesFixtureAndIsShown) {
    buildLayoutWithProblems();
    analyseConnections(blockNumbered(1));

    EXPECT_EQ(reportText(), fileText(testsupport::fixturePath("connection_report_problems.log")));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], dir.path() + "/proef.log");
}

TEST_F(AnalysisTest, ReportIsShownByItsFullPathInALongFolder) {
    std::string deep = dir.path();
    while (deep.size() <= 120) deep += "/een_nogal_lange_mapnaam";
    std::filesystem::create_directories(deep);
    std::filesystem::current_path(deep);
    buildLayoutWithProblems();
    analyseConnections(blockNumbered(1));

    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], vestrel::currentDirectory() + "/proef.log");
    EXPECT_GT(opened[0].size(), 99u);
    EXPECT_TRUE(std::filesystem::exists(opened[0]));
}

TEST_F(AnalysisTest, ReportThatCannotBeWrittenStopsTheAnalysisWithMessage) {
    buildLayoutWithProblems();
    std::filesystem::create_directory(dir.file("proef.log"));  // a folder where the file should go
    analyseConnections(blockNumbered(1));

    EXPECT_EQ(lastDialogMessage(), "Kan bestand 'proef.log' niet openen !");
    EXPECT_TRUE(opened.empty());
}
