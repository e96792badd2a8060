// The route file of the sample layout (data/voorbeeld.trj): one round trip over the oval with a stop in
// the station, made with the route editing functions on the shipped layout and saved by the route file
// writer. To write the data file again after a change of the layout or of the file format:
//   VESTREL_WRITE_SAMPLE=$PWD/data build/tests/test_operation --gtest_filter='SampleRoute.*'
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "layout/files/layout_file.h"
#include "layout/model/layout_model.h"
#include "operation/editor/route_editing.h"
#include "operation/files/route_file_io.h"
#include "operation/model/route_file.h"
#include "shell/config/messages.h"
#include "shell/model/app_state.h"
#include "test_support.h"

namespace {

using testsupport::readBytes;
using testsupport::writeBytes;


// The blocks of the round trip in the order a train runs them, and the station stop.
const int kRoundTrip[] = {1, 6, 2, 5};
constexpr int kStationRow = 3;  // block 2, the station's main track
constexpr int kStationWait = 30;

class SampleRoute : public ::testing::Test {
protected:
    void SetUp() override {
        writeBytes(dir.file("voorbeeld.vtl"), readBytes(testsupport::shippedDataPath("voorbeeld.vtl")));
        gLayoutFileName = "voorbeeld.vtl";
        ASSERT_EQ(loadLayoutFile(), 1);
        showDialogMessage("", 3);
    }
    void TearDown() override { clearRoutes(); }
    testsupport::ScratchDir dir;
};

TEST_F(SampleRoute, TheDataFolderHoldsWhatTheRouteEditorMakes) {
    clearRoutes();
    RouteRec* route = gRoutes.append(std::make_unique<RouteRec>());
    std::strcpy(route->name, "Rondrit");
    int row = 1;
    for (int block : kRoundTrip) ASSERT_EQ(routeToggleBlock(route, block, row++), 1) << block;
    gRouteLines[route->firstLine + kStationRow - 1]->wait = kStationWait;
    ASSERT_EQ(routeCloseCycle(route, 1), 1);
    ASSERT_EQ(saveRouteFile(), 1);
    testsupport::expectShippedData(dir.file("voorbeeld.trj"), "voorbeeld.trj");
}

TEST_F(SampleRoute, TheShippedRouteFitsTheShippedLayout) {
    writeBytes(dir.file("voorbeeld.trj"), readBytes(testsupport::shippedDataPath("voorbeeld.trj")));
    ASSERT_EQ(loadRouteFile(), 1);
    EXPECT_EQ(lastDialogMessage(), "");  // no line had to be linked again
    ASSERT_EQ(gRouteCount, 1);
    RouteRec* route = gRoutes[0];
    EXPECT_STREQ(route->name, "Rondrit");
    ASSERT_EQ(route->endLine - route->firstLine, 4);
    for (int k = 0; k < 4; ++k) {
        const ConnectionRec* c = routeLineConnection(gRouteLines[route->firstLine + k]);
        ASSERT_TRUE(c) << k;
        EXPECT_EQ(c->from->number, kRoundTrip[k]);
        EXPECT_EQ(c->to->number, kRoundTrip[(k + 1) % 4]);  // the last line leads back to the first block
    }
    EXPECT_EQ(gRouteLines[route->firstLine + kStationRow - 1]->wait, kStationWait);
}

}  // namespace
