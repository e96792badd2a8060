// The order of the connection table: route files name connections by their place in it.
#include <gtest/gtest.h>

#include <memory>
#include <random>

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

// The turnout rule is no strict ordering (each of two lists can have the lower number somewhere), so the
// order depends on how the table is scanned: it must stay that of moving, place by place, the first
// entry found before the one picked so far. Random tables full of such ties against that scan.
TEST(SortConnections, TiesResolveAsThePlaceByPlaceScan) {
    LayoutBuilder b;
    b.block(1, {{0, 10}, {10, 10}, {20, 10}}).block(2, {{0, 20}, {10, 20}, {20, 20}});
    for (int t = 1; t <= 4; ++t) b.turnout('l', t, {{100 * t, 0}, {100 * t + 20, 0}, {100 * t + 14, -6}});
    std::mt19937 random(37);
    for (int round = 0; round < 50; ++round) {
        gConnections.clear();
        for (int i = 0; i < 60; ++i) {
            auto c = std::make_unique<ConnectionRec>();
            c->from = blockNumbered(1 + static_cast<int>(random() % 2));
            c->to = blockNumbered(1 + static_cast<int>(random() % 2));
            c->direction = "HT"[random() % 2];
            const int n = static_cast<int>(random() % 3);
            for (int k = 0; k < n; ++k) {
                c->turnouts[k] = turnoutNumbered(1 + static_cast<int>(random() % 4));
                c->positions[k] = 'G';
            }
            gConnections.append(std::move(c));
        }
        std::vector<ConnectionRec*> expected(gConnections.begin(), gConnections.end());
        auto before = [](const ConnectionRec* p, const ConnectionRec* q) {
            if (p->from->number != q->from->number) return p->from->number < q->from->number;
            if (p->to->number != q->to->number) return p->to->number < q->to->number;
            const int np = connectionTurnoutCount(p), nq = connectionTurnoutCount(q);
            if (np != nq) return np < nq;
            for (int k = 0; k < np; ++k)
                if (q->turnouts[k]->number > p->turnouts[k]->number) return true;
            return false;
        };
        for (size_t place = 0; place + 1 < expected.size(); ++place) {
            size_t best = place;
            for (size_t i = place + 1; i < expected.size(); ++i)
                if (before(expected[i], expected[best])) best = i;
            ConnectionRec* picked = expected[best];
            expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(best));
            expected.insert(expected.begin() + static_cast<std::ptrdiff_t>(place), picked);
        }
        sortConnections();
        ASSERT_EQ(std::vector<ConnectionRec*>(gConnections.begin(), gConnections.end()), expected) << round;
    }
}
