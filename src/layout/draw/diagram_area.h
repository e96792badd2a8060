#pragma once
// The drawing rectangle of the diagram canvas and its centre.
#include <cstdint>

#include "layout/model/layout_model.h"

struct DrawRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    friend bool operator==(const DrawRect&, const DrawRect&) = default;
};

// The pointer range of the running editor operation; normally the canvas less 88 pixels at the bottom.
extern DrawRect gDrawArea;
extern DiagramPoint gCanvasCentre;  // half the canvas size
