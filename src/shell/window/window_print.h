#pragma once
// Printing the main window: one printer for the whole run, the default printer of the system.
#include <string>

class QPrinter;

// The main window's print scaling: 1 proportional, 2 fitted to the page; kept for the run.
extern int gPrintScale;

// The program-wide printer, made on first use for the default printer.
QPrinter& programPrinter();

// Prints the main window's client image at gPrintScale in the printer's orientation. Empty when it
// was printed, else the message for the user.
std::string printMainWindow();

constexpr const char* kNoPrinterMessage = "Er is geen printer om op af te drukken !";
constexpr const char* kPrinterFailedMessage = "De printer kan niet starten: er is niets afgedrukt !";
