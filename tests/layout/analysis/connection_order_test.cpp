// The order of the connection table: route files name connections by their place in it.
#include <gtest/gtest.h>

#include <memory>

#include "layout/analysis/connection_analysis.h"
#include "layout/layout_builder.h"

namespace {

// Appends a connection "from to direction" through the given turnouts ("5G 7R" style pairs).
void addConnection(int from, int to, char direction, std::initializer_list<std::pair<int, char>> turnouts = {}) {
    auto c = std::make_unique<ConnectionRec>();
    c->from = blockNumbered(from);
    c->to = blockNumbered(to);
    c->direction = direction;
    int k = 0;
    for (auto [number, position] : turnouts) {
        c->turnouts[k] = turnoutNumbered(number);
        c->positions[k++] = position;
    }
    gConnections.append(std::move(c));
}

void buildBlocksAndTurnouts() {
    LayoutBuilder()
        .block(1, {{0, 10}, {10, 10}, {20, 10}})
        .block(2, {{0, 20}, {10, 20}, {20, 20}})
        .block(3, {{0, 30}, {10, 30}, {20, 30}})
        .turnout('l', 5, {{100, 0}, {120, 0}, {114, -6}})
        .turnout('l', 7, {{200, 0}, {220, 0}, {214, -6}});
}

}  // namespace

TEST(SortConnections, EqualConnectionsKeepTheOrderInWhichTheyWereFound) {
    buildBlocksAndTurnouts();
    addConnection(2, 1, 'H');
    addConnection(2, 1, 'T');
    addConnection(1, 2, 'H');
    sortConnections();
    EXPECT_EQ(describeConnections(), std::vector<std::string>({"1 2 H", "2 1 H", "2 1 T"}));
}

TEST(SortConnections, ByFromBlockToBlockThenTurnoutList) {
    buildBlocksAndTurnouts();
    addConnection(2, 3, 'T', {{5, 'G'}});
    addConnection(1, 3, 'H', {{7, 'R'}, {5, 'G'}});
    addConnection(1, 3, 'H', {{7, 'G'}});
    addConnection(1, 2, 'T', {{5, 'R'}, {7, 'G'}});
    addConnection(1, 3, 'T', {{5, 'G'}, {7, 'G'}});
    addConnection(2, 1, 'H');
    sortConnections();
    EXPECT_EQ(describeConnections(), std::vector<std::string>({
                                         "1 2 T 5R 7G",
                                         "1 3 H 7G",     // the shorter list first
                                         "1 3 T 5G 7G",  // 5 below 7 at the first turnout
                                         "1 3 H 7R 5G",
                                         "2 1 H",
                                         "2 3 T 5G",
                                     }));
}
