// A message closed while an element entry waits: the entry stays as it was and goes on (or Esc ends it),
// and the editor keeps every way out: afterwards "Opslaan" saves the layout.
#include <gtest/gtest.h>

#include <QFile>
#include <QMenu>
#include <functional>

#include "layout/dialogs/untEerstePunt.h"
#include "layout/editor/editor_state.h"
#include "layout/model/layout_model.h"
#include "layout/dialogs/untSein.h"
#include "layout/dialogs/untSektie.h"
#include "layout/dialogs/untUitgang.h"
#include "layout/dialogs/untWissel.h"
#include "shell/drawing_window.h"
#include "shell/window/status_line.h"

namespace {

constexpr const char* kClockMessage = "Clock niet stabiel : 30 - 38";

class MessageDuringEntry : public DrawingWindow {
protected:
    // The cycle's own message comes while the entry waits; the user reads it and clicks OK.
    void messageComesAndGoes() {
        showDialogMessage(kClockMessage, 1);
        closeMessage(kClockMessage);
    }
    // Esc until the tool has ended, as a user would press it.
    void endWithEsc() {
        for (int k = 0; k < 3 && (gEditOpRunning || gStatusLineShown); ++k) key(Qt::Key_Escape);
        EXPECT_EQ(gEditOpRunning, 0);
        EXPECT_EQ(gStatusLineShown, 0) << "the prompt stays";
        EXPECT_EQ(gEditMode, 0u);
    }
    // "Opslaan" from the menu: the direction question (when blocks were drawn) is answered "Ja".
    void saveFromMenu() {
        ASSERT_NE(gDirtyFlags, 0);
        // The user comes back to the main window; its activation enables the menus again (the offscreen
        // platform gives none when the window was already active).
        QApplication::setActiveWindow(frmSchema);
        ASSERT_TRUE(processUntil([] { return QApplication::activeWindow() == frmSchema; }));
        frmSchema->FormActivate();
        frmSchema->mnuOpslaan->trigger();
        if (frmEerstePunt->isVisible()) frmEerstePunt->btnJa->click();
        EXPECT_EQ(gDirtyFlags, 0) << lastDialogMessage();
        EXPECT_TRUE(QFile::exists(QString::fromStdString(gLayoutFileName))) << gLayoutFileName;
    }
};

struct WaitingEntry {
    const char* name;
    int tool;                       // the key that starts the entry
    std::function<void()> toWait;   // brings the entry into its waiting state
    uint32_t waitingMode;           // gEditMode while it waits
    std::function<void()> goOn;     // the entry goes on from there
    std::function<int()> count;     // elements entered
    int expected;
};

TEST_F(MessageDuringEntry, EveryWaitingEntryGoesOnAfterTheMessageAndTheLayoutCanBeSaved) {
    const WaitingEntry cases[] = {
        {"track, waiting for the next track", Qt::Key_V,
         [] {
             clickAt({40, 40});
             doubleClickAt({104, 40});
         },
         kEditNew,
         [] {
             clickAt({40, 72});
             doubleClickAt({104, 72});
         },
         [] { return gTrackCount; }, 2},
        {"track, one point placed", Qt::Key_V, [] { clickAt({40, 104}); }, kEditFollow,
         [] { doubleClickAt({104, 104}); }, [] { return gTrackCount; }, 3},
        {"block, waiting for the next block", Qt::Key_B,
         [] {
             clickAt({40, 160});
             clickAt({104, 160});
             doubleClickAt({168, 160});
             confirmed(frmSektie);
         },
         kEditNew,
         [] {
             clickAt({40, 200});
             clickAt({104, 200});
             doubleClickAt({168, 200});
             confirmed(frmSektie);
         },
         [] { return gBlockCount; }, 2},
        {"block, in a curve", Qt::Key_B,
         [] {
             clickAt({240, 240});
             moveTo({300, 240});
             key(Qt::Key_C);
         },
         kEditCurve,
         [] {
             key(Qt::Key_Escape);  // leaves the curve: straight entry again
             clickAt({304, 240});
             doubleClickAt({368, 240});
             confirmed(frmSektie);
         },
         [] { return gBlockCount; }, 3},
        {"signal, waiting for the next signal", Qt::Key_S,
         [] {
             clickAt({136, 168});
             confirmed(frmSein);
         },
         kEditNew,
         [] {
             clickAt({136, 208});
             confirmed(frmSein);
         },
         [] { return gSignalCount; }, 2},
        {"turnout, waiting for the next turnout", Qt::Key_L,
         [] {
             clickAt({400, 40});
             confirmed(frmWissel);
         },
         kEditNew,
         [] {
             clickAt({400, 96});
             confirmed(frmWissel);
         },
         [] { return gTurnoutCount; }, 2},
        {"output, one on the pointer", Qt::Key_O, [] { moveTo({480, 300}); }, kEditFollow,
         [] {
             clickAt({480, 300});
             confirmed(frmUitgang);
         },
         [] { return gOutputCount; }, 1},
        {"output, waiting for its dialog's OK", Qt::Key_O, [] { clickAt({480, 340}); }, kEditCommitted,
         [] { confirmed(frmUitgang); }, [] { return gOutputCount; }, 2},
    };
    for (const WaitingEntry& c : cases) {
        SCOPED_TRACE(c.name);
        key(c.tool);
        c.toWait();
        ASSERT_EQ(gEditMode, c.waitingMode);
        messageComesAndGoes();
        EXPECT_TRUE(gEditMode == c.waitingMode || gEditMode == kEditRestart) << gEditMode;
        c.goOn();
        EXPECT_EQ(c.count(), c.expected);
        endWithEsc();
    }
    saveFromMenu();
}

// The message comes right after the commit of a track and the user presses Esc at once: the tool ends.
TEST_F(MessageDuringEntry, EscEndsTheWaitingEntryAfterTheMessage) {
    key(Qt::Key_V);
    clickAt({40, 40});
    doubleClickAt({104, 40});
    ASSERT_EQ(gEditMode, kEditNew);
    messageComesAndGoes();
    key(Qt::Key_Escape);
    key(Qt::Key_Escape);
    EXPECT_EQ(gEditOpRunning, 0);
    EXPECT_EQ(gStatusLineShown, 0);
    saveFromMenu();
}

}  // namespace
