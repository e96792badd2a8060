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

bool printerInstalled() {
    const QPrinter& printer = programPrinter();
    // Without a system printer Qt falls back to a PDF printer that has no file to write.
    return printer.outputFormat() == QPrinter::NativeFormat ? !printer.printerName().isEmpty()
                                                            : !printer.outputFileName().isEmpty();
}

namespace {

std::string printOn(QPrinter& printer) {
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

}  // namespace

std::string printMainWindow() {
    if (!printerInstalled()) return kNoPrinterMessage;
    return printOn(programPrinter());
}

std::string printMainWindowToPdf(const std::string& fileName) {
    // The program's printer keeps its page and orientation; only this print goes to the file.
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setPageLayout(programPrinter().pageLayout());
    pdf.setOutputFileName(QString::fromStdString(fileName));
    return printOn(pdf);
}
