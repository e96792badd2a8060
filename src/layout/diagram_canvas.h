#pragma once
// The canvases the diagram is drawn on.

// Frees the back buffer and makes it again at the main window's size.
void recreateBackBuffer();
