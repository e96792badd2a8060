#include "shell/window/window_print.h"

#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QPrinterInfo>
#include <memory>

#include "shell/model/print_placement.h"
#include "shell/window/untSchema.h"

int gPrintScale = kPrintProportional;

QPrinter& programPrinter() {
    static std::unique_ptr<QPrinter> printer;
    if (!printer) printer = std::make_unique<QPrinter>(QPrinterInfo::defaultPrinter());
    return *printer;
}

std::string printMainWindow() {
    QPrinter& printer = programPrinter();
    // Without a system printer Qt falls back to a PDF printer that has no file to write.
    const bool native = printer.outputFormat() == QPrinter::NativeFormat;
    if (native ? printer.printerName().isEmpty() : printer.outputFileName().isEmpty()) return kNoPrinterMessage;
    if (!frmSchema) return kPrinterFailedMessage;
    QWidget* client = frmSchema->centralWidget() ? frmSchema->centralWidget() : frmSchema;
    const QPixmap image = client->grab();
    QPainter painter;
    if (!painter.begin(&printer)) return kPrinterFailedMessage;
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const PrintPlacement p = printPlacement(image.width(), image.height(), client->logicalDpiX(),
                                            printer.resolution(), page.width(), page.height(), gPrintScale);
    painter.drawPixmap(QRect(p.x, p.y, p.width, p.height), image);
    if (!painter.end()) return kPrinterFailedMessage;
    return {};
}
