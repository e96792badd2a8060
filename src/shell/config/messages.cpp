#include "shell/config/messages.h"

#include <QMessageBox>

#include "platform/text_codec.h"
#include "shell/window/main_window.h"
#include "shell/dialogs/untBevestig.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/window/untSchema.h"

uint8_t gMessageShown = 0;

namespace {
std::string gLastMessage;
bool gProgramEndRequested = false;
constexpr const char* kOutOfMemory = "Er is te weinig geheugen (malloc). Het programma zal afgesloten worden !";
constexpr int kJa = 6;
}  // namespace

int showDialogMessage(const std::string& text, int mode) {
    gLastMessage = text;
    if (!mainWindowVisible() || !frmBoodschap || !frmBevestig) return 0;
    switch (mode) {
        case 0:
        case 1:
            frmBoodschap->setTekst(text);
            frmBoodschap->showMessage();
            return 1;
        case 2:
            frmBevestig->setTekst(text.empty() ? std::string("Bent u zeker ?") : text);
            return frmBevestig->exec() == kJa ? 1 : 0;
        case 3: frmBoodschap->setTekst(text); return 0;
        case 4: frmBoodschap->setTekst(frmBoodschap->tekst() + text); return 0;
        case 5:
            frmBoodschap->setTekst(frmBoodschap->tekst() + text);
            frmBoodschap->showMessage();
            return 0;
        default: return 0;
    }
}

void fatalOutOfMemory() {
    gLastMessage = kOutOfMemory;
    if (frmBoodschap) {
        frmBoodschap->setTekst(kOutOfMemory);
        frmBoodschap->exec();
    } else {
        QMessageBox::critical(nullptr, "Boodschap", vestrel::fromCp1252(kOutOfMemory));
    }
    if (mainWindowVisible())
        frmSchema->close();
    else
        gProgramEndRequested = true;
}

const std::string& lastDialogMessage() { return gLastMessage; }

bool programEndRequested() { return gProgramEndRequested; }
