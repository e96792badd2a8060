#include "layout/render.h"

#include "shell/main_window.h"

void redrawSchema(int) {}
void drawBackground() {}
void updateTitleBar() { updateTitleTexts(); }
void initToolbar() {}
void drawDeadEndMark(int, int) {}
