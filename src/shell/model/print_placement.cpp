#include "shell/model/print_placement.h"

#include <algorithm>

PrintPlacement printPlacement(int imageWidth, int imageHeight, int screenDpi, int printerDpi, int pageWidth,
                              int pageHeight, int scaling) {
    PrintPlacement p;
    if (imageWidth <= 0 || imageHeight <= 0) return p;
    if (scaling == kPrintFitted) {
        // The smaller of the two ratios keeps the whole image on the page.
        const double f = std::min(static_cast<double>(pageWidth) / imageWidth,
                                  static_cast<double>(pageHeight) / imageHeight);
        p.width = static_cast<int>(imageWidth * f);
        p.height = static_cast<int>(imageHeight * f);
    } else {
        const double f = screenDpi > 0 ? static_cast<double>(printerDpi) / screenDpi : 1.0;
        p.width = static_cast<int>(imageWidth * f);
        p.height = static_cast<int>(imageHeight * f);
    }
    return p;
}
