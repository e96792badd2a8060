#pragma once
// The diagram on the main window.
void redrawSchema(int mode);
void drawBackground();
void updateTitleBar();
void initToolbar();
// The letter of the tool-bar button under gMousePoint (outside the drawing area), else 0; also in value.
int hitToolbar(int& value);
// 501, 502 or 504 for the layer button under gMousePoint, else 0.
int hitLayerButton();
// Shows or hides layer 1, 2 or 4 and redraws what lies on it.
void toggleLayer(int layer);
// The red lamp square (half size 3) with which the connection analysis marks a way that ends nowhere.
void drawDeadEndMark(int x, int y);
