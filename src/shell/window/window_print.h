#pragma once
// Printing the main window: one printer for the whole run, the default printer of the system.
#include <string>

class QPrinter;

// The main window's print scaling: 1 proportional, 2 fitted to the page; kept for the run.
extern int gPrintScale;

// The program-wide printer, made on first use for the default printer.
QPrinter& programPrinter();

// False when the system has no printer to print on.
bool printerInstalled();

// Prints the main window's client image at gPrintScale in the printer's orientation. Empty when it
// was printed, else the message for the user.
std::string printMainWindow();
// The same page written to a PDF file instead: the printer's page size and orientation, gPrintScale.
std::string printMainWindowToPdf(const std::string& fileName);

constexpr const char* kNoPrinterMessage = "Er is geen printer om op af te drukken !";
constexpr const char* kPrinterFailedMessage = "De printer kan niet starten: er is niets afgedrukt !";
