// The route file against hand-made images: loading and saving back byte for byte, the old version, the
// relink by block numbers, closing a cycle, damaged files; the route index bytes after a save.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "layout/layout_builder.h"
#include "operation/files/route_file_io.h"
#include "operation/model/route_codec.h"
#include "operation/model/route_editor_state.h"
#include "operation/model/route_file.h"
#include "operation/model/train_model.h"
#include "shell/config/messages.h"
#include "test_support.h"
#include "fuzz_seeds.h"

namespace {

using Bytes = std::vector<uint8_t>;

void append(Bytes& b, std::initializer_list<int> int16s) {
    for (int v : int16s) {
        b.push_back(static_cast<uint8_t>(v & 0xFF));
        b.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
    }
}
void appendName(Bytes& b, const std::string& name) {
    for (int i = 0; i < 21; ++i) b.push_back(i < static_cast<int>(name.size()) ? static_cast<uint8_t>(name[i]) : 0);
}

class RouteFile : public testing::Test {
protected:
    void SetUp() override {
        gLayoutFileName = "proef.vtl";
        clearRoutes();
        // Connections 0: 1->2, 1: 2->3, 2: 3->1, 3: 3->4.
        LayoutBuilder()
            .block(1, {{100, 100}, {200, 100}, {300, 100}})
            .block(2, {{400, 100}, {500, 100}, {600, 100}})
            .block(3, {{400, 300}, {500, 300}, {600, 300}})
            .block(4, {{100, 300}, {200, 300}, {300, 300}})
            .connection(1, 2, 'H')
            .connection(2, 3, 'H')
            .connection(3, 1, 'H')
            .connection(3, 4, 'H');
        showDialogMessage("", 3);
    }
    void TearDown() override {
        clearRoutes();
        clearTrainTables();
        LayoutBuilder();
    }
    void writeFile(const Bytes& b) const { testsupport::writeBytes(dir.file("proef.trj"), b); }
    Bytes readFile() const { return testsupport::readBytes(dir.file("proef.trj")); }
    static std::vector<int> connectionsOf(const RouteRec* r) {
        std::vector<int> out;
        for (int i = r->firstLine; i < r->endLine; ++i) out.push_back(gRouteLines[i]->connection);
        return out;
    }
    testsupport::ScratchDir dir;
};

// Two routes called "Ring": lines 0..2 (blocks 1, 2, 3 round the cycle) and line 3 (block 2).
Bytes twoRings() {
    Bytes b = {'V', '0', '.', '1'};
    append(b, {2, 4});
    append(b, {0, 3, 0});
    appendName(b, "Ring");
    append(b, {3, 4, 0});
    appendName(b, "Ring");
    append(b, {0, 1, 7, 30, 60, 100});  // connection 0 from block 1, 07:30, 60 s, 100 km/h
    append(b, {1, 2, 0, 0, 0, 80});
    append(b, {2, 3, 0, 0, 0, 80});
    append(b, {1, 2, 12, 5, 0, 40});
    return b;
}

TEST_F(RouteFile, TwoRoutesOfOneNameLoadAndSaveBackByteForByte) {
    const Bytes image = twoRings();
    ASSERT_EQ(image.size(), 8u + 2 * 27 + 4 * 12);
    writeFile(image);
    ASSERT_EQ(loadRouteFile(), 1);
    EXPECT_EQ(lastDialogMessage(), "");
    ASSERT_EQ(gRouteCount, 2);
    EXPECT_STREQ(gRoutes[0]->name, "Ring");
    EXPECT_EQ(connectionsOf(gRoutes[0]), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(connectionsOf(gRoutes[1]), (std::vector<int>{1}));
    EXPECT_EQ(gRouteLines[0]->hour, 7);
    EXPECT_EQ(gRouteLines[0]->minute, 30);
    EXPECT_EQ(gRouteLines[0]->wait, 60);
    EXPECT_EQ(gRouteLines[3]->speed, 40);
    RouteRec* second = gRoutes[1];
    ASSERT_EQ(saveRouteFile(), 1);
    EXPECT_EQ(gRoutes[1], second);  // equal names keep their order
    EXPECT_EQ(readFile(), image);
}

TEST_F(RouteFile, SavingSortsByNameAndRewritesTheIndexBytes) {
    writeFile(twoRings());
    ASSERT_EQ(loadRouteFile(), 1);
    std::snprintf(gRoutes[0]->name, kRouteNameSize, "Zuid");
    RouteRec* zuid = gRoutes[0];
    ASSERT_EQ(saveRouteFile(), 1);
    EXPECT_EQ(gRoutes[1], zuid);
    EXPECT_EQ(gRoutes[0]->name[kRouteNameSize - 1], 0);
    EXPECT_EQ(gRoutes[1]->name[kRouteNameSize - 1], 1);
    const Bytes saved = readFile();
    // The sorted table: "Ring" (lines 3..4) first, then "Zuid" (lines 0..3); the lines stay.
    Bytes expected = {'V', '0', '.', '1'};
    append(expected, {2, 4, 3, 4, 0});
    appendName(expected, "Ring");
    append(expected, {0, 3, 0});
    appendName(expected, "Zuid");
    expected.insert(expected.end(), saved.end() - 48, saved.end());
    EXPECT_EQ(saved, expected);
}

TEST_F(RouteFile, OldVersionUsesTheIndexesAsStored) {
    Bytes b;
    append(b, {1, 2});
    append(b, {0, 2, 0});
    appendName(b, "Oud");
    append(b, {3, 0, 0, 0, 100});
    append(b, {9, 0, 0, 0, 100});  // names no connection
    writeFile(b);
    ASSERT_EQ(loadRouteFile(), 1);
    EXPECT_EQ(lastDialogMessage(), "De versie van het trajectbestand is oud. Kijk de trajecten na  en sla ze dan op.");
    EXPECT_EQ(connectionsOf(gRoutes[0]), (std::vector<int>{3, -1}));
    // A line without connection is saved as -1 with block 0.
    ASSERT_EQ(saveRouteFile(), 1);
    const Bytes saved = readFile();
    const Bytes lastLine(saved.end() - 12, saved.end());
    EXPECT_EQ(lastLine, (Bytes{0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 100, 0}));
    // Loaded again, the line before it keeps its connection (3 -> 4, not the first one leaving block 3).
    showDialogMessage("", 3);
    ASSERT_EQ(loadRouteFile(), 1);
    EXPECT_EQ(lastDialogMessage(), "");
    EXPECT_EQ(connectionsOf(gRoutes[0]), (std::vector<int>{3, -1}));
    ASSERT_EQ(saveRouteFile(), 1);
    EXPECT_EQ(readFile(), saved);
}

TEST_F(RouteFile, StaleIndexesAreRelinkedByBlockNumbers) {
    Bytes b = {'V', '0', '.', '1'};
    append(b, {1, 3, 0, 3, 0});
    appendName(b, "Ring");
    append(b, {1, 1, 0, 0, 0, 100});   // index 1 runs from block 2 now: relinked to 1 -> 2 (0)
    append(b, {40, 2, 0, 0, 0, 100});  // no such connection: 2 -> 3 (1)
    append(b, {2, 3, 0, 0, 0, 100});
    writeFile(b);
    ASSERT_EQ(loadRouteFile(), 1);
    EXPECT_EQ(lastDialogMessage(),
              "De spoorbaan werd gewijzigd. Kijk trajecten na met verbindingen met verschillende mogelijkheden.");
    EXPECT_EQ(connectionsOf(gRoutes[0]), (std::vector<int>{0, 1, 2}));
}

TEST_F(RouteFile, ALastBlockJoinedToTheFirstClosesTheCycleSilently) {
    Bytes b = {'V', '0', '.', '1'};
    append(b, {1, 3, 0, 3, 0});
    appendName(b, "Ring");
    append(b, {0, 1, 0, 0, 0, 100});
    append(b, {1, 2, 0, 0, 0, 100});
    append(b, {3, 3, 0, 0, 0, 100});  // 3 -> 4, but 3 -> 1 closes the route
    writeFile(b);
    ASSERT_EQ(loadRouteFile(), 1);
    EXPECT_EQ(lastDialogMessage(), "");
    EXPECT_EQ(connectionsOf(gRoutes[0]), (std::vector<int>{0, 1, 2}));
}

TEST_F(RouteFile, FiftyRoutesAndFiveHundredLinesAreAccepted) {
    Bytes b = {'V', '0', '.', '1'};
    append(b, {50, 500});
    for (int i = 0; i < 50; ++i) {
        append(b, {i == 0 ? 0 : 500, 500, 0});
        appendName(b, "R" + std::to_string(i));
    }
    for (int i = 0; i < 500; ++i) append(b, {i % 3, i % 3 + 1, 0, 0, 0, 100});
    writeFile(b);
    ASSERT_EQ(loadRouteFile(), 1);
    EXPECT_EQ(gRouteCount, 50);
    EXPECT_EQ(gRouteLineCount, 500);
}

TEST_F(RouteFile, DamagedFilesLeaveNoRoutes) {
    auto header = [](int routes, int lines) {
        Bytes b = {'V', '0', '.', '1'};
        append(b, {routes, lines});
        return b;
    };
    auto withRoute = [&](int first, int end, int lines) {
        Bytes b = header(1, lines);
        append(b, {first, end, 0});
        appendName(b, "X");
        for (int i = 0; i < lines; ++i) append(b, {0, 1, 0, 0, 0, 100});
        return b;
    };
    Bytes shared = header(2, 2);
    append(shared, {0, 2, 0});
    appendName(shared, "A");
    append(shared, {1, 2, 0});
    appendName(shared, "B");
    for (int i = 0; i < 2; ++i) append(shared, {0, 1, 0, 0, 0, 100});
    Bytes truncated = twoRings();
    truncated.resize(truncated.size() - 5);
    const std::vector<std::pair<std::string, Bytes>> cases = {
        {"51 routes", header(51, 0)},
        {"501 lines", header(0, 501)},
        {"negative count", header(-1, 0)},
        {"first line outside", withRoute(3, 3, 2)},
        {"end line outside", withRoute(0, 3, 2)},
        {"end before first", withRoute(2, 1, 2)},
        {"a line shared", shared},
        {"truncated", truncated},
    };
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        writeFile(twoRings());
        ASSERT_EQ(loadRouteFile(), 1);
        writeFile(bytes);
        EXPECT_EQ(loadRouteFile(), 0);
        EXPECT_EQ(lastDialogMessage(),
                  "Er is een fout in het bestand 'proef.trj'. De trajecten moeten opnieuw gemaakt worden.");
        EXPECT_EQ(gRouteCount, 0);
        EXPECT_EQ(gRouteLineCount, 0);
    }
}

TEST_F(RouteFile, LocomotivesGetTheirRoutesBack) {
    writeFile(twoRings());
    ASSERT_EQ(loadRouteFile(), 1);
    LocoRec* a = putLocoOnBlock(3, 1, 0, {150, 100}, true, 'H');
    LocoRec* b = putLocoOnBlock(4, 2, 0, {450, 100}, true, 'H');
    a->route = gRoutes[1];
    b->route = gRoutes[1];
    b->mode = kModeRoute;
    gCurRoute = gRoutes[1];
    clearRoutes();
    EXPECT_EQ(a->route, nullptr);
    EXPECT_EQ(gCurRoute, nullptr);
    ASSERT_EQ(loadRouteFile(), 1);
    EXPECT_EQ(a->route, gRoutes[1]);
    // A file with one route less: the second locomotive's route is gone and it shunts.
    Bytes one = {'V', '0', '.', '1'};
    append(one, {1, 1, 0, 1, 0});
    appendName(one, "Ring");
    append(one, {0, 1, 0, 0, 0, 100});
    writeFile(one);
    ASSERT_EQ(loadRouteFile(), 1);
    EXPECT_EQ(a->route, nullptr);
    EXPECT_EQ(b->route, nullptr);
    EXPECT_EQ(b->mode, kModeShunting);
}

TEST(RouteCodec, RecordImages) {
    RouteRec r;
    r.firstLine = 3;
    r.endLine = 7;
    r.flags = 0x01020304;
    std::snprintf(r.name, kRouteNameSize, "Noord");
    r.name[21] = 5;
    vestrel::ByteWriter w;
    writeRouteRec(w, r);
    Bytes expected = {3, 0, 0, 0, 7, 0, 0, 0, 4, 3, 2, 1, 'N', 'o', 'o', 'r', 'd'};
    expected.resize(12 + 21, 0);
    expected.push_back(5);
    expected.push_back(0);
    expected.push_back(0);
    ASSERT_EQ(w.data().size(), static_cast<size_t>(kRouteRecSize));
    EXPECT_EQ(w.data(), expected);
    vestrel::ByteReader rd(w.data());
    const RouteRec back = readRouteRec(rd);
    EXPECT_EQ(back.endLine, 7);
    EXPECT_EQ(back.name[21], 5);

    RouteLineRec l;
    l.connection = -1;
    l.hour = 23;
    l.minute = 59;
    l.wait = 3600;
    l.speed = 255;
    vestrel::ByteWriter lw;
    writeRouteLineRec(lw, l);
    EXPECT_EQ(lw.data(), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 23, 0, 0, 0, 59, 0, 0, 0, 0x10, 0x0E, 0, 0, 0xFF, 0, 0, 0}));
    ASSERT_EQ(lw.data().size(), static_cast<size_t>(kRouteLineRecSize));
}

// The route-file fuzz harness's seeds (fuzz_seeds.h); its fixed layout has the connections of these tests.
TEST(RouteFileFuzzSeeds, WrittenOnRequest) {
    if (!fuzzseeds::folder()) GTEST_SKIP();
    fuzzseeds::write("route_file", "two_rings.trj", twoRings());
    Bytes old;
    append(old, {1, 2});
    append(old, {0, 2, 0});
    appendName(old, "Oud");
    append(old, {3, 0, 0, 0, 100});
    append(old, {9, 0, 0, 0, 100});
    fuzzseeds::write("route_file", "old_version.trj", old);
}

}  // namespace
