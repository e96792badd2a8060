// Printing the main window: where the image lands on the page, and a print into a PDF file through the
// program's printer.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <filesystem>
#include <string>

#include "shell/config/messages.h"
#include "shell/dialogs/untAfdrukken.h"
#include "shell/model/print_placement.h"
#include "shell/shell_test_support.h"
#include "shell/window/window_print.h"

namespace {

struct PlacementCase {
    const char* what;
    int scaling, pageWidth, pageHeight;
    PrintPlacement expected;
};

TEST(PrintPlacement, ProportionalOrFittedInBothOrientations) {
    // An 800 x 600 window at 96 dpi on a 600 dpi printer.
    const PlacementCase cases[] = {
        {"proportional, portrait", kPrintProportional, 4800, 6600, {0, 0, 5000, 3750}},
        {"proportional, landscape", kPrintProportional, 6600, 4800, {0, 0, 5000, 3750}},
        {"fitted, portrait: the width decides", kPrintFitted, 4800, 6600, {0, 0, 4800, 3600}},
        {"fitted, landscape: the height decides", kPrintFitted, 6600, 4800, {0, 0, 6400, 4800}},
    };
    for (const PlacementCase& c : cases) {
        const PrintPlacement p = printPlacement(800, 600, 96, 600, c.pageWidth, c.pageHeight, c.scaling);
        EXPECT_EQ(p.x, c.expected.x) << c.what;
        EXPECT_EQ(p.y, c.expected.y) << c.what;
        EXPECT_EQ(p.width, c.expected.width) << c.what;
        EXPECT_EQ(p.height, c.expected.height) << c.what;
    }
}

class Printing : public ::testing::Test {
protected:
    void SetUp() override {
        program.start();
        gPrintScale = kPrintProportional;
        programPrinter().setOutputFormat(QPrinter::PdfFormat);
        programPrinter().setPageOrientation(QPageLayout::Portrait);
    }
    void TearDown() override { programPrinter().setOutputFileName(QString()); }
    RunningProgram program;
};

// The first page's media box, as the PDF writer puts it.
std::string mediaBox(const std::string& path) {
    const std::vector<uint8_t> b = testsupport::readBytes(path);
    const std::string s(b.begin(), b.end());
    const size_t at = s.find("/MediaBox");
    return at == std::string::npos ? std::string() : s.substr(at, s.find(']', at) - at + 1);
}

TEST_F(Printing, OkPrintsTheWindowOnALandscapePage) {
    const std::string pdf = testsupport::artefactPath("main_window_print.pdf");
    std::filesystem::remove(pdf);
    programPrinter().setOutputFileName(QString::fromStdString(pdf));
    frmAfdrukken->show();
    frmAfdrukken->radLandscape->click();
    frmAfdrukken->radbtnAangepast->click();
    frmAfdrukken->btnOK->click();
    EXPECT_FALSE(frmAfdrukken->isVisible());
    EXPECT_EQ(programPrinter().pageLayout().orientation(), QPageLayout::Landscape);
    ASSERT_TRUE(std::filesystem::exists(pdf));
    EXPECT_GT(std::filesystem::file_size(pdf), 1000u);
    // A4 on its side: wider than high.
    const std::string box = mediaBox(pdf);
    double x0 = 0, y0 = 0, w = 0, h = 0;
    ASSERT_EQ(std::sscanf(box.c_str(), "/MediaBox [%lf %lf %lf %lf]", &x0, &y0, &w, &h), 4) << box;
    EXPECT_GT(w, h) << box;
}

TEST_F(Printing, FittedScalingStaysAfterCancelling) {
    frmAfdrukken->show();
    EXPECT_TRUE(frmAfdrukken->radbtnProportioneel->isChecked());
    frmAfdrukken->radbtnAangepast->click();
    frmAfdrukken->btnAnnuleren->click();
    EXPECT_EQ(gPrintScale, kPrintFitted);
    frmAfdrukken->show();
    EXPECT_TRUE(frmAfdrukken->radbtnAangepast->isChecked());
}

TEST_F(Printing, TheDialogOpensWithThePrintersOrientation) {
    frmAfdrukken->show();
    frmAfdrukken->radLandscape->click();
    frmAfdrukken->btnAnnuleren->click();
    EXPECT_TRUE(frmAfdrukken->radLandscape->isChecked());
    frmAfdrukken->show();
    EXPECT_TRUE(frmAfdrukken->radPortrait->isChecked());
    frmAfdrukken->close();
    programPrinter().setPageOrientation(QPageLayout::Landscape);
    frmAfdrukken->show();
    EXPECT_TRUE(frmAfdrukken->radLandscape->isChecked());
}

// The pages of a PDF file as its writer lists them (the page objects, not the page tree).
int pdfPageCount(const std::string& path) {
    const std::vector<uint8_t> b = testsupport::readBytes(path);
    const std::string s(b.begin(), b.end());
    int pages = 0;
    for (size_t at = s.find("/Type /Page"); at != std::string::npos; at = s.find("/Type /Page", at + 1))
        if (at + 11 >= s.size() || s[at + 11] != 's') ++pages;
    return pages;
}

// Answers the file dialog that comes up with that file name, or cancels it for an empty name.
void nameFileWhenAsked(const std::string& path) {
    whenModal([path](QWidget* modal) {
        auto* chooser = qobject_cast<QFileDialog*>(modal);
        if (!chooser || path.empty()) {
            modal->close();
            return;
        }
        chooser->selectFile(QString::fromStdString(path));
        static_cast<QDialog*>(chooser)->accept();
    });
}

TEST_F(Printing, WithoutAPrinterThePageGoesToAPdfFileTheUserNames) {
    programPrinter().setOutputFileName(QString());  // as Qt leaves it when the system has no printer
    showDialogMessage("", 3);
    const std::string pdf = testsupport::artefactPath("main_window_no_printer.pdf");
    std::filesystem::remove(pdf);
    nameFileWhenAsked(pdf);
    frmAfdrukken->show();
    frmAfdrukken->radLandscape->click();
    frmAfdrukken->radbtnAangepast->click();
    frmAfdrukken->btnOK->click();
    EXPECT_EQ(lastDialogMessage(), "");
    ASSERT_TRUE(std::filesystem::exists(pdf));
    EXPECT_EQ(pdfPageCount(pdf), 1);
    const std::string box = mediaBox(pdf);
    double x0 = 0, y0 = 0, w = 0, h = 0;
    ASSERT_EQ(std::sscanf(box.c_str(), "/MediaBox [%lf %lf %lf %lf]", &x0, &y0, &w, &h), 4) << box;
    EXPECT_GT(w, h) << box;  // the orientation chosen
    EXPECT_TRUE(programPrinter().outputFileName().isEmpty());  // the next print asks again
}

TEST_F(Printing, NoPrinterAndNoFileOrAPrinterThatCannotStartIsReported) {
    programPrinter().setOutputFileName(QString());
    nameFileWhenAsked("");
    frmAfdrukken->show();
    frmAfdrukken->btnOK->click();
    EXPECT_EQ(lastDialogMessage(), kNoPrinterMessage);
    programPrinter().setOutputFileName("/nonexistent-folder/print.pdf");
    frmAfdrukken->show();
    frmAfdrukken->btnOK->click();
    EXPECT_EQ(lastDialogMessage(), kPrinterFailedMessage);
}

}  // namespace
