// The key table, grid snapping, page and drag scrolling and the pointer rules of the input routing.
#include <gtest/gtest.h>

#include "layout/editor/editor_dispatch.h"
#include "layout/model/layout_model.h"
#include "platform/keyboard.h"
#include "platform/virtual_keys.h"
#include "shell/model/app_state.h"
#include "shell/window/input_routing.h"
#include "shell/model/input_state.h"
#include "shell/shell_test_support.h"

namespace {

class InputRouting : public ::testing::Test {
protected:
    void SetUp() override {
        resetShellState();
        gLayoutOffset = {};
        gMouseButton = 0;
        gDragCount = 0;
        gRedrawCountdown = 0;
        forgetRoutedCommand();
    }
    void TearDown() override { resetShellState(); }
};

TEST(KeyTable, EachRuleMapsTheKeyAsItCame) {
    struct Case {
        int vk, code;
    } cases[] = {{107, 43}, {109, 45}, {'A', 'a'}, {'I', 'i'}, {'Z', 'z'}, {96, '0'}, {101, '5'}, {105, '9'},
                 {'5', '5'}, {37, 37},  {13, 13},  {27, 27},   {32, 32},   {33, 33}, {115, 115}, {97, '1'}};
    for (const Case& c : cases) EXPECT_EQ(normalizeKeyCode(c.vk), c.code) << c.vk;
    // No letter ever ends up as a digit: 'A'..'I' lower cased are 97..105, the keypad digits' numbers.
    for (int letter = 'A'; letter <= 'Z'; ++letter) EXPECT_EQ(normalizeKeyCode(letter), letter + 32);
}

TEST(GridSnapping, NearestGridPointAndNoGrid) {
    gSnapGrid = {8, 0, 0};
    struct Case {
        int c, snapped;
    } cases[] = {{11, 8}, {12, 16}, {0, 0}, {3, 0}, {4, 8}, {100, 104}};
    for (const Case& c : cases) {
        snapPointToGrid(c.c, c.c);
        EXPECT_EQ(gMousePoint, (DiagramPoint{c.snapped, c.snapped})) << c.c;
    }
    gSnapGrid = {8, 3, -2};
    snapPointToGrid(11, 11);
    EXPECT_EQ(gMousePoint, (DiagramPoint{11, 14}));
    gSnapGrid = {0, 0, 0};  // no grid: the point as it is, no division by zero
    snapPointToGrid(11, 13);
    EXPECT_EQ(gMousePoint, (DiagramPoint{11, 13}));
}

TEST_F(InputRouting, PageKeysScrollByHalfTheCanvasNeverPastTheOrigin) {
    scrollByPageKey(33, 0);  // Page Up at the origin
    EXPECT_EQ(gLayoutOffset.y, 0);
    scrollByPageKey(34, 0);
    EXPECT_EQ(gLayoutOffset.y, -240);
    scrollByPageKey(34, 1);  // with Shift: sideways by half the width
    EXPECT_EQ(gLayoutOffset.x, -320);
    scrollByPageKey(33, 0);
    scrollByPageKey(33, 0);
    EXPECT_EQ(gLayoutOffset.y, 0);
    gEditOpRunning = 1;
    scrollByPageKey(34, 0);
    EXPECT_EQ(gLayoutOffset.y, 0);
}

TEST_F(InputRouting, FunctionKeysNeverActAsLetters) {
    for (int vk = vestrel::VK_F1; vk <= vestrel::VK_F12; ++vk) {
        routeKeyDown(vk, 0);
        EXPECT_EQ(lastRoutedCommand().target, 0) << vk;
    }
    EXPECT_NE(lastEditorCommand(), 's');  // F4 has the number of 's'
    routeKeyDown('S', 0);
    EXPECT_EQ(lastRoutedCommand().target, 'E');
    EXPECT_EQ(lastEditorCommand(), 's');
}

TEST_F(InputRouting, KeysGoToTheControlPostDuringASession) {
    gRunWithoutTrack = 1;
    gActiveRow = 3;
    routeKeyDown(vestrel::VK_UP, 0);
    EXPECT_EQ(lastRoutedCommand().target, 'C');
    EXPECT_EQ(lastRoutedCommand().code, 0);
    EXPECT_EQ(lastRoutedCommand().post, 3);
    EXPECT_EQ(gPendingKey, 0);  // consumed
}

TEST_F(InputRouting, ModifiersAndCapsLock) {
    routeKeyDown('Q', vestrel::kCtrlBit | vestrel::kShiftBit);
    EXPECT_EQ(gShiftState, 1);  // only the Shift bit stays after the key
    routeKeyUp();
    EXPECT_EQ(gShiftState, 0);
    vestrel::setCapsLockForTest(1);
    routeKeyDown('Q', 0);
    EXPECT_EQ(gShiftState, 1);
    routeKeyUp();
    EXPECT_EQ(gShiftState, 1);  // Caps Lock keeps snapping off
}

TEST_F(InputRouting, OneMovementAfterALeftReleaseIsIgnored) {
    routeMouseUp(100, 100, 1, true);
    EXPECT_EQ(gMouseButton, -1);
    routePointerMove(150, 160, true);
    EXPECT_EQ(gMouseButton, 0);
    EXPECT_EQ(gMousePoint, (DiagramPoint{100, 100}));
    routePointerMove(150, 160, true);
    EXPECT_EQ(gMousePoint, (DiagramPoint{150, 160}));
    routeMouseUp(100, 100, 2, true);  // a right release leaves no ignored movement
    EXPECT_EQ(gMouseButton, 0);
}

TEST_F(InputRouting, DragScrollsAfterTenMovementsNeverToAPositiveOffset) {
    gLayoutOffset = {-50, -30};
    for (int k = 0; k < 9; ++k) routeImageDrag(200, 200, true);
    routeMouseUp(260, 150, 1, true);  // nine movements do not arm the drag: a plain click
    EXPECT_EQ(gLayoutOffset.x, -50);
    routeImageDrag(200, 200, false);  // moving with no button held starts the count again
    for (int k = 0; k < 10; ++k) routeImageDrag(200 + k, 200, true);
    EXPECT_EQ(gDragStart, (DiagramPoint{209, 200}));
    routeMouseUp(300, 190, 1, true);
    EXPECT_EQ(gLayoutOffset.x, 0);  // -50 + 91, held at 0
    EXPECT_EQ(gLayoutOffset.y, -40);
    EXPECT_EQ(gRedrawCountdown, 2);
    routeImageDrag(200, 200, true);  // no new drag until the view has been redrawn
    EXPECT_EQ(gDragCount, 0);
    gRedrawCountdown = 0;
    routeImageDrag(200, 200, true);
    EXPECT_EQ(gDragCount, 1);
    routeImageDrag(200, 200, false);  // the left button no longer held
    EXPECT_EQ(gDragCount, 0);
}

TEST_F(InputRouting, ADemoIgnoresKeysAndReleases) {
    gDemoStep = 3;
    routeKeyDown('B', 0);
    routeMouseUp(100, 100, 1, true);
    EXPECT_EQ(lastRoutedCommand().target, 0);
    EXPECT_EQ(gMouseButton, 0);
}

}  // namespace
