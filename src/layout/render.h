#pragma once
// The diagram on the main window.
void redrawSchema(int mode);
void drawBackground();
void updateTitleBar();
void initToolbar();
