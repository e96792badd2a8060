// The stored result of the analysis, byte for byte: the whole layout image written after the analysis
// (connection table, turned blocks and tracks) and the report, against images kept from an earlier
// version of the analysis. Rewrite them with VESTREL_WRITE_ANALYSIS_FIXTURES=1 only when a change of
// the result is meant.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "layout/analysis/connection_analysis.h"
#include "layout/analysis_fixture.h"
#include "layout/files/layout_file.h"
#include "layout/model/layout_file_format.h"

namespace {

class ConnectionTableBytes : public AnalysisTest {
protected:
    void expectKeptResult(const std::string& name) {
        std::vector<uint8_t> result = writeLayoutImage();
        const std::vector<uint8_t> report = testsupport::readBytes(dir.file("proef.log"));
        result.insert(result.end(), report.begin(), report.end());
        const std::string path = testsupport::fixturePath("analysis/" + name + ".bin");
        if (std::getenv("VESTREL_WRITE_ANALYSIS_FIXTURES")) testsupport::writeBytes(path, result);
        EXPECT_TRUE(testsupport::readBytes(path) == result) << name;
    }
};

TEST_F(ConnectionTableBytes, StationRingsUpToAFullTable) {
    for (int stations : {1, 3, 62, 66}) {
        clearLayout();
        LayoutBuilder builder;
        buildStationRing(builder, stations);
        analyseConnections(blockNumbered(1));
        expectKeptResult("ring" + std::to_string(stations));
    }
}

TEST_F(ConnectionTableBytes, SampleLayoutFromEachOfItsBlocks) {
    std::filesystem::copy_file(testsupport::fixturePath("../../data/voorbeeld.vtl"), dir.file("proef.vtl"));
    ASSERT_EQ(loadLayoutFile(), 1);
    std::vector<int> numbers;
    for (const BlockRec* b : gBlocks) numbers.push_back(b->number);
    for (int number : numbers) {
        analyseConnections(blockNumbered(number));
        expectKeptResult("sample_from" + std::to_string(number));
    }
}

}  // namespace
