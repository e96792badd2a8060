// A client's open dialogs after the server's data records: the dialog that shows the object changed
// shows its new values, as the local change would have left it.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTableWidget>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "layout/dialogs/untDraaischijf.h"
#include "layout/dialogs/untSektie.h"
#include "layout/editor/editor_state.h"
#include "layout/layout_builder.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "network/sync/client_receive.h"
#include "operation/dialogs/untTraject.h"
#include "operation/model/route_editor_state.h"
#include "operation/model/route_file.h"
#include "shell/model/app_state.h"
#include "shell/shell_test_support.h"
#include "steps/dialogs/untStappen.h"
#include "steps/model/step_program.h"

using Bytes = std::vector<uint8_t>;

namespace {

constexpr uint8_t kConditionFormula = 24;  // the condition "formule"

// Kind, code, a, b (little-endian int16), then the data bytes at their offsets from byte 6 on.
Bytes record(int kind, int code, int a, int b, int size, std::initializer_list<std::pair<int, int>> bytes) {
    Bytes r = {static_cast<uint8_t>(kind), static_cast<uint8_t>(code), static_cast<uint8_t>(a), 0,
               static_cast<uint8_t>(b), 0};
    r.resize(6 + static_cast<size_t>(size), 0);
    for (const auto& [at, v] : bytes) r[static_cast<size_t>(at)] = static_cast<uint8_t>(v);
    return r;
}

class ClientDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        program.start();
        LayoutBuilder().block(1, {{100, 100}, {200, 100}, {300, 100}}).turntable(2, {200, 400}, {300, 400}, 12)
            .stepProgram("p", {{"ingang=1", 5, "geen", 0, 3}});
        gNetLinkState = 40;
    }
    void TearDown() override {
        gNetLinkState = 0;
        gNetCarriedBytes = 0;
        gNetOutFill = 0;
        for (QWidget* w : std::initializer_list<QWidget*>{frmSektie, frmDraaischijf, frmStappen, frmTraject})
            if (w->isVisible()) w->close();
        gSelectedBlock = nullptr;
        gSelectedTurntable = nullptr;
        gCurStepBox = nullptr;
        gFormulas.clear();
        gCurRoute = nullptr;
        gRoutes.clear();
        gRouteLines.clear();
        gEditMode = 0;
    }
    static void receive(const Bytes& r) {
        std::memcpy(gNetInBuffer, r.data(), r.size());
        ASSERT_EQ(netClientReceive(static_cast<int>(r.size())), 1);
    }
    RunningProgram program;
};

struct DialogCase {
    const char* what;
    std::function<void()> open;
    Bytes record;
    std::function<QString()> shown;  // what the dialog shows
    const char* expected;
};

TEST_F(ClientDialogs, AnOpenDialogShowsTheRecordItShows) {
    const DialogCase cases[] = {
        // 5/37: allowed trains, direction, two reserved bytes, flags, three corrections, then the speed
        // and the wait time as int32.
        {"block speed",
         [] {
             gSelectedBlock = gBlocks[0];
             frmSektie->show();
         },
         record(5, 37, 1, 0, 16, {{6, 3}, {14, 60}, {18, 30}}), [] { return frmSektie->edtSnelheid->text(); }, "60"},
        {"block wait", [] {}, record(5, 37, 1, 0, 16, {{6, 3}, {14, 60}, {18, 45}}),
         [] { return frmSektie->edtWachttijd->text(); }, "45"},
        // 10/37: 20 bytes from the decoder system on (system, positions, spacing, bridge speed, pulse
        // time, ...), then 6 from the start address on.
        {"turntable pulse time",
         [] {
             gSelectedTurntable = gTurntables[0];
             frmDraaischijf->show();
         },
         record(10, 37, 2, 0, 26, {{12, 9}, {26, 201}}), [] { return frmDraaischijf->edtPulstijd->text(); }, "9"},
        // 15/37: a = 10, the step's 10 bytes; its time at bytes 4..5 of the step.
        {"step time",
         [] {
             gEditMode = 8;
             gCurStepBox = gStepPrograms[0];
             frmStappen->Tag = 0;
             frmStappen->show();
         },
         record(15, 37, 10, 0, 10, {{10, 17}}),
         [] { return frmStappen->strgrdStappen->item(0, 5) ? frmStappen->strgrdStappen->item(0, 5)->text() : QString(); },
         "17"},
        // 13/37: a = 20, the route line's 20 bytes: connection, hour, minute, wait, speed (int32).
        {"route line wait",
         [] {
             auto line = std::make_unique<RouteLineRec>();
             gRouteLines.append(std::move(line));
             auto route = std::make_unique<RouteRec>();
             route->endLine = 1;
             gCurRoute = gRoutes.append(std::move(route));
             frmTraject->show();
             frmTraject->fillRouteGrid();
         },
         record(13, 37, 20, 0, 20, {{6, 0xFF}, {7, 0xFF}, {8, 0xFF}, {9, 0xFF}, {18, 45}}),
         [] { return frmTraject->strgrdTraject->item(0, 2) ? frmTraject->strgrdTraject->item(0, 2)->text() : QString(); },
         "45"},
        // 16/37: a = 22, from the operand types on: three types, the comparison, the operation, ...
        {"formula comparison",
         [] {
             auto f = std::make_unique<FormulaRec>();
             f->flags = kFormulaCondition;
             gFormulas.append(std::move(f));
             gSteps[0]->conditionCode = kConditionFormula;
             gSteps[0]->conditionValue = 1;
             frmStappen->fillStepGrid();
             frmStappen->strgrdStappen->setCurrentCell(0, 1);
             frmStappen->Timer1Timer();  // the formula panel comes up on the step's formula
         },
         record(16, 37, 22, 0, 22, {{9, 3}}), [] { return QString::number(frmStappen->cboVergelijk->currentIndex()); },
         "3"},
    };
    for (const DialogCase& c : cases) {
        SCOPED_TRACE(c.what);
        c.open();
        ASSERT_TRUE(processUntil([] { return true; }));
        EXPECT_NE(c.shown().toStdString(), c.expected);
        receive(c.record);
        EXPECT_EQ(c.shown().toStdString(), c.expected);
    }
}

}  // namespace
