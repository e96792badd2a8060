#pragma once
// The diagram on the main window.
void redrawSchema(int mode);
void drawBackground();
void updateTitleBar();
void initToolbar();
// The red lamp square (half size 3) with which the connection analysis marks a way that ends nowhere.
void drawDeadEndMark(int x, int y);
