// A layout file from anywhere: it loads or is refused; what loads is drawn whole at the loaded canvas size,
// and what it then saves loads again, draws and saves the same bytes (drawing sets run-time bits that the
// file keeps, so both saves follow a drawing).
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "layout/model/layout_file_format.h"  // before Qt, whose keywords name its fields
#include "fuzz_support.h"
#include "layout/draw/diagram_canvas.h"
#include "layout/draw/element_colours.h"
#include "layout/files/layout_file.h"
#include "layout/frame/render.h"
#include "layout/model/display_settings.h"
#include "layout/model/layout_model.h"
#include "platform/canvas.h"

namespace {

void redrawAtLoadedSize() {
    vestrel::Canvas diagram(gCanvasSize.width, gCanvasSize.height, kBackgroundColour);
    gDiagramCanvas = &diagram;
    recreateBackBuffer();
    gShowNumbers = gShowSections = 1;
    drawBackground(1);
    drawAllElements(1);
    gDiagramCanvas = nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzsupport::setUp();
    gLayoutFileName = "fuzz.vtl";
    fuzzsupport::writeFile("fuzz.vtl", data, size);
    if (loadLayoutFile() != 1) return 0;
    redrawAtLoadedSize();
    const std::vector<uint8_t> first = writeLayoutImage();
    fuzzsupport::writeFile("fuzz.vtl", first.data(), first.size());
    if (loadLayoutFile() != 1) std::abort();  // what the program writes must load
    redrawAtLoadedSize();
    fuzzsupport::expectSame(first, writeLayoutImage());  // and save the same bytes
    clearLayout();
    return 0;
}
