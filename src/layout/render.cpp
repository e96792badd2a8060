#include "layout/render.h"

#include "shell/main_window.h"

void redrawSchema(int) {}
void drawBackground() {}
void updateTitleBar() { updateTitleTexts(); }
void initToolbar() {}
int hitToolbar(int& value) { return value = 0; }
int hitLayerButton() { return 0; }
void toggleLayer(int) {}
void drawDeadEndMark(int, int) {}
