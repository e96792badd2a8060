#pragma once
// A diagram canvas for the drawing tests and small pixel queries on it.
#include <gtest/gtest.h>

#include "layout/draw/diagram_canvas.h"
#include "layout/draw/element_colours.h"
#include "platform/canvas.h"

namespace drawtest {

// Counts the pixels of one colour in the box left..right, top..bottom (inclusive).
inline int countColour(const vestrel::Canvas& c, int left, int top, int right, int bottom, uint32_t colour) {
    int n = 0;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) n += c.Pixel(x, y) == colour;
    return n;
}

// Every pixel that is not the background.
inline int countDrawn(const vestrel::Canvas& c) {
    return c.width() * c.height() - countColour(c, 0, 0, c.width() - 1, c.height() - 1, kBackgroundColour);
}

class DiagramCanvasTest : public ::testing::Test {
protected:
    void SetUp() override { gDiagramCanvas = &canvas; }
    void TearDown() override { gDiagramCanvas = nullptr; }
    vestrel::Canvas canvas{640, 480, kBackgroundColour};
};

}  // namespace drawtest
