// Building a route by clicking blocks: appending, removing the last line, replacing a line, the choice
// through a reversing loop asked in the real confirmation dialog, and the limits.
#include <gtest/gtest.h>

#include <QLabel>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "layout/layout_builder.h"
#include "operation/editor/route_editing.h"
#include "operation/model/route_editor_state.h"
#include "operation/model/route_file.h"
#include "shell/config/messages.h"
#include "shell/dialogs/untBevestig.h"
#include "shell/shell_test_support.h"

namespace {

class RouteEditing : public testing::Test {
protected:
    void SetUp() override {
        program.start();
        clearRoutes();
        // Block 2 is a reversing loop reached from block 1 by two ways (turnout 1 'G' or 'R').
        LayoutBuilder()
            .block(1, {{100, 100}, {200, 100}, {300, 100}})
            .block(2, {{400, 100}, {500, 100}, {600, 100}})
            .loop()
            .block(3, {{400, 300}, {500, 300}, {600, 300}})
            .block(4, {{100, 300}, {200, 300}, {300, 300}})
            .turnout('r', 1, {{300, 100}, {400, 100}, {400, 150}})
            .connection(1, 2, 'H', {{1, 'G'}})
            .connection(1, 2, 'H', {{1, 'R'}})
            .connection(2, 3, 'H')
            .connection(3, 1, 'H')
            .connection(2, 1, 'T');
        route = gRoutes.append(std::make_unique<RouteRec>());
    }
    void TearDown() override {
        clearRoutes();
        LayoutBuilder();
    }
    std::vector<int> lines() const {
        std::vector<int> out;
        for (int i = route->firstLine; i < route->endLine; ++i) out.push_back(gRouteLines[i]->connection);
        return out;
    }
    // Answers every question of the confirmation dialog with `answers` in turn, recording the texts.
    void answer(std::vector<bool> answers) {
        whenModal([this, answers](QWidget* modal) {
            asked.push_back(frmBevestig->lblTekst->text().toStdString());
            if (answers.size() > 1) answer(std::vector<bool>(answers.begin() + 1, answers.end()));
            clickButton(modal, answers.front() ? "btnJa" : "btnNee");
        });
    }
    RunningProgram program;
    RouteRec* route = nullptr;
    std::vector<std::string> asked;
};

TEST_F(RouteEditing, AppendRemoveReplace) {
    EXPECT_EQ(routeToggleBlock(route, 1, 1), 1);  // an empty route takes block 1's first connection
    EXPECT_EQ(lines(), (std::vector<int>{0}));
    answer({true});
    EXPECT_EQ(routeToggleBlock(route, 2, 2), 1);  // into the reversing loop: asked, the first way taken
    EXPECT_EQ(asked, (std::vector<std::string>{"Traject via  1 G  ?"}));
    EXPECT_EQ(lines(), (std::vector<int>{0, 2}));
    EXPECT_EQ(routeToggleBlock(route, 2, 3), 2);  // the last block again: its line goes
    EXPECT_EQ(lines(), (std::vector<int>{0}));
    EXPECT_EQ(routeToggleBlock(route, 3, 1), 3);  // row 1 replaced by block 3
    EXPECT_EQ(lines(), (std::vector<int>{3}));
}

TEST_F(RouteEditing, NothingForAnUnreachableBlockOrOneWithoutWayOn) {
    routeToggleBlock(route, 1, 1);
    EXPECT_EQ(routeToggleBlock(route, 4, 2), 0);  // no connection from block 1 to block 4
    EXPECT_EQ(lines(), (std::vector<int>{0}));
    gConnections.removeAt(4);
    gConnections.removeAt(3);
    gConnections.removeAt(2);  // block 2 leads nowhere now
    asked.clear();
    EXPECT_EQ(routeToggleBlock(route, 2, 2), 0);
    EXPECT_EQ(lines(), (std::vector<int>{0}));
    EXPECT_TRUE(asked.empty());
}

TEST_F(RouteEditing, EveryAlternativeDeclined) {
    routeToggleBlock(route, 1, 1);
    answer({false, false});
    EXPECT_EQ(routeToggleBlock(route, 2, 2), 255);
    EXPECT_EQ(asked, (std::vector<std::string>{"Traject via  1 G  ?", "Traject via  1 R  ?"}));
    EXPECT_EQ(lines(), (std::vector<int>{0}));
    answer({false, true});
    EXPECT_EQ(routeToggleBlock(route, 2, 2), 1);
    EXPECT_EQ(lines(), (std::vector<int>{1, 2}));
}

TEST_F(RouteEditing, LimitsOfTheTables) {
    routeToggleBlock(route, 1, 1);
    while (gRouteLineCount < kMaxRouteLines) gRouteLines.append(std::make_unique<RouteLineRec>());
    EXPECT_EQ(routeToggleBlock(route, 3, 1), 0);
    EXPECT_EQ(lastDialogMessage(), "Het maximaal aantal tabellijnen is bereikt");
    EXPECT_EQ(copyRoute(route), 0);
    EXPECT_EQ(lastDialogMessage(), "Maximum wordt overschreden");
    while (gRouteLineCount > 1) gRouteLines.removeAt(gRouteLineCount - 1);
    ASSERT_EQ(copyRoute(route), 1);
    EXPECT_EQ(gCurRoute, gRoutes[1]);
    EXPECT_EQ(gRoutes[1]->firstLine, 1);
    EXPECT_EQ(gRouteLines[1]->connection, 0);
    while (gRouteCount < kMaxRoutes) gRoutes.append(std::make_unique<RouteRec>());
    showDialogMessage("", 3);
    EXPECT_EQ(copyRoute(route), 0);
    EXPECT_EQ(lastDialogMessage(), "Maximum wordt overschreden");
}

TEST_F(RouteEditing, DeletingARouteShiftsTheOthersAndForgetsIt) {
    routeToggleBlock(route, 1, 1);
    answer({true});
    routeToggleBlock(route, 2, 2);
    RouteRec* other = gRoutes.append(std::make_unique<RouteRec>());
    other->firstLine = other->endLine = gRouteLineCount;
    routeToggleBlock(other, 3, 1);
    gCurRoute = route;
    deleteRoute(route);
    EXPECT_EQ(gRouteCount, 1);
    EXPECT_EQ(gCurRoute, nullptr);
    EXPECT_EQ(other->firstLine, 0);
    EXPECT_EQ(other->endLine, 1);
    EXPECT_EQ(gRouteLines[0]->connection, 3);
    route = nullptr;
}

}  // namespace
