#include "layout/render.h"

void redrawSchema(int) {}
void drawBackground() {}
void updateTitleBar() {}
void initToolbar() {}
void drawDeadEndMark(int, int) {}
