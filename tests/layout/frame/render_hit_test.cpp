// Hit tests of the editor's tool bar and of the layer buttons, at the edges of their boxes.
#include <gtest/gtest.h>

#include "layout/draw/diagram_area.h"
#include "layout/frame/render.h"
#include "shell/window/input_routing.h"
#include "shell/model/input_state.h"

namespace {

struct PointCase {
    int x;
    int y;
    int expected;
};

TEST(ToolbarHit, ButtonsIncludeBothEdges) {
    initToolbar();
    gPointerInDiagram = 0;
    const PointCase cases[] = {
        {20, 10, 'l'}, {64, 42, 'l'}, {65, 42, 0},  {67, 20, 0},  {68, 20, 'r'}, {112, 20, 'r'},
        {116, 26, 'k'}, {164, 26, 'x'}, {212, 26, 'b'}, {260, 26, 'v'}, {308, 26, 's'}, {356, 26, 'o'},
        {404, 26, 'i'}, {452, 26, 'd'}, {496, 26, 'd'}, {497, 26, 0},   {19, 26, 0},   {40, 9, 0},
        {40, 43, 0},
    };
    for (const PointCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        gMousePoint = {c.x, c.y};
        int letter = -1;
        EXPECT_EQ(hitToolbar(letter), c.expected);
        EXPECT_EQ(letter, c.expected);
    }
}

TEST(ToolbarHit, NotWhileThePointerIsOnTheDiagram) {
    gPointerInDiagram = 2;
    gMousePoint = {40, 20};
    int letter = -1;
    EXPECT_EQ(hitToolbar(letter), 0);
    EXPECT_EQ(letter, 0);
    gPointerInDiagram = 0;
}

TEST(LayerButtonHit, ThreeButtonsInTheCornerOfTheDrawingArea) {
    gDrawArea = {0, 0, 640, 392};
    const PointCase cases[] = {
        {1, 1, 501},  {7, 12, 501}, {8, 12, 502},  {15, 1, 502}, {16, 1, 504}, {24, 12, 504},
        {25, 5, 0},   {5, 13, 0},   {0, 5, 0},     {5, 0, 0},  // the drawing area excludes its edges
    };
    for (const PointCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        gMousePoint = {c.x, c.y};
        EXPECT_EQ(hitLayerButton(), c.expected);
    }
}

}  // namespace
