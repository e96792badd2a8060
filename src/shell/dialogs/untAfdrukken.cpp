#include "shell/dialogs/untAfdrukken.h"

#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>

#include "shell/config/messages.h"
#include "shell/model/print_placement.h"
#include "shell/window/form_setup.h"
#include "shell/window/untSchema.h"
#include "shell/window/window_print.h"

TfrmAfdrukken* frmAfdrukken = nullptr;

namespace {
QRadioButton* makeRadio(QWidget* parent, const char* name, const char* caption, int x, int y) {
    auto* b = new QRadioButton(caption, parent);
    b->setObjectName(name);
    b->setGeometry(x, y, 220, 20);
    return b;
}
QPushButton* makeButton(QWidget* parent, const char* name, const char* caption, int x, int y) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setGeometry(x, y, 80, 25);
    return b;
}
}  // namespace

TfrmAfdrukken::TfrmAfdrukken(QWidget* parent) : QDialog(parent) {
    setupForm(this, "frmAfdrukken", "Afdrukken", 300, 200);
    // The scaling buttons are a group of their own, apart from the orientation group.
    auto* scaling = new QWidget(this);
    scaling->setGeometry(0, 0, 300, 60);
    radbtnProportioneel = makeRadio(scaling, "radbtnProportioneel", "Proportioneel", 16, 10);
    radbtnAangepast = makeRadio(scaling, "radbtnAangepast", "Aangepast aan papierformaat", 16, 32);
    radgrpOrient = new QGroupBox(this);
    radgrpOrient->setObjectName("radgrpOrient");
    radgrpOrient->setGeometry(16, 64, 268, 70);
    radPortrait = makeRadio(radgrpOrient, "radPortrait", "Portrait", 12, 16);
    radLandscape = makeRadio(radgrpOrient, "radLandscape", "Landscape", 12, 40);
    btnOK = makeButton(this, "btnOK", "OK", 60, 150);
    btnAnnuleren = makeButton(this, "btnAnnuleren", "Annuleren", 160, 150);
    connect(radbtnProportioneel, &QRadioButton::clicked, this, [this] { radbtnProportioneelClick(); });
    connect(radbtnAangepast, &QRadioButton::clicked, this, [this] { radbtnAangepastClick(); });
    connect(btnOK, &QPushButton::clicked, this, [this] { btnOKClick(); });
    connect(btnAnnuleren, &QPushButton::clicked, this, [this] { btnAnnulerenClick(); });
}

// The dialog follows the printer, not what it showed last time.
void TfrmAfdrukken::FormActivate() {
    (gPrintScale == kPrintProportional ? radbtnProportioneel : radbtnAangepast)->setChecked(true);
    const bool landscape = programPrinter().pageLayout().orientation() == QPageLayout::Landscape;
    (landscape ? radLandscape : radPortrait)->setChecked(true);
}

void TfrmAfdrukken::radbtnProportioneelClick() { gPrintScale = kPrintProportional; }

void TfrmAfdrukken::radbtnAangepastClick() { gPrintScale = kPrintFitted; }

void TfrmAfdrukken::btnOKClick() {
    programPrinter().setPageOrientation(radLandscape->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait);
    close();
    std::string failure;
    if (printerInstalled()) {
        failure = printMainWindow();
    } else {
        // A desktop without a printer can still keep the page: as a PDF file the user names.
        const QString file = QFileDialog::getSaveFileName(frmSchema, "Afdrukken naar PDF-bestand", QDir::currentPath(),
                                                          "PDF (*.pdf)");
        failure = file.isEmpty() ? kNoPrinterMessage : printMainWindowToPdf(file.toStdString());
    }
    if (!failure.empty()) showDialogMessage(failure, 1);
}

void TfrmAfdrukken::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}
