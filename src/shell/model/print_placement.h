#pragma once
// Where the main window's image lands on the printed page.

struct PrintPlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

constexpr int kPrintProportional = 1;  // the window's size on paper as on the screen
constexpr int kPrintFitted = 2;        // as large as the page allows, keeping the aspect ratio

// The image's rectangle in printer pixels, from the page's top-left corner: scaled by the ratio of the
// resolutions (scaling 1) or to the printable page (scaling 2).
PrintPlacement printPlacement(int imageWidth, int imageHeight, int screenDpi, int printerDpi, int pageWidth,
                              int pageHeight, int scaling);
