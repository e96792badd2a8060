#pragma once
// A raised panel: a filled face with a white and black edge and a grey inner shadow.
#include "platform/canvas.h"

void draw3dPanel(int left, int top, int right, int bottom, vestrel::TColor fill, vestrel::Canvas& canvas);
