// The route dialog on the real main window, in the editor on the sample oval (four blocks in a loop and
// a passing loop, connections generated): lines built by clicking blocks, cells edited with their
// ranges, the route file written, cancelled, deleted; the names kept unique; the grid's resizing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "layout/editor/editor_state.h"
#include "layout/model/layout_model.h"
#include "layout/sample_layout.h"
#include "operation/dialogs/untTraject.h"
#include "operation/editor/route_editing.h"
#include "operation/files/route_file_io.h"
#include "operation/model/route_editor_state.h"
#include "operation/model/route_file.h"
#include "shell/config/messages.h"
#include "shell/model/app_state.h"
#include "shell/shell_test_support.h"
#include "shell/window/image_view.h"
#include "shell/window/input_routing.h"
#include "shell/window/untSchema.h"
#include "test_support.h"

namespace {

using Bytes = std::vector<uint8_t>;

void int16s(Bytes& b, std::initializer_list<int> values) {
    for (int v : values) {
        b.push_back(static_cast<uint8_t>(v & 0xFF));
        b.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
    }
}

// The first connection from block a to block b, as a click from a to b takes it.
int connectionFrom(int a, int b) {
    for (int i = 0; i < gConnectionCount; ++i)
        if (gConnections[i]->from->number == a && gConnections[i]->to->number == b) return i;
    ADD_FAILURE() << "no connection " << a << " -> " << b;
    return -1;
}

// A point on each block of the oval, in the middle of its middle section.
QPoint blockPoint(int number) {
    switch (number) {
    case 1: return {320, 72};
    case 5: return {48, 208};
    case 2: return {320, 344};
    case 3: return {320, 312};
    default: return {592, 208};
    }
}

class RouteDialog : public ::testing::Test {
protected:
    void SetUp() override {
        program.start();
        frmSchema->Timer1->stop();
        smalllayout::buildSampleLayout();
        gLayoutFileName = "oval.vtl";
        clearRoutes();
        showDialogMessage("", 3);
        QApplication::setActiveWindow(frmSchema);
        ASSERT_TRUE(processUntil([] { return QApplication::activeWindow() == frmSchema; }));
    }
    void TearDown() override {
        frmTraject->close();
        clearRoutes();
    }
    static void clickBlock(int number) {
        QTest::mouseClick(frmSchema->imgSchema, Qt::LeftButton, {}, blockPoint(number));
    }
    static QString cell(int row, int col) {
        const QTableWidgetItem* item = frmTraject->strgrdTraject->item(row - 1, col);
        return item ? item->text() : QString();
    }
    static std::vector<QString> blockColumn() {
        std::vector<QString> out;
        for (int r = 1; r <= frmTraject->strgrdTraject->rowCount(); ++r) out.push_back(cell(r, 0));
        return out;
    }
    // Types into the cell's own editor and ends with Enter.
    static void typeCell(int row, int col, const char* text) {
        QTableWidget* grid = frmTraject->strgrdTraject;
        grid->setCurrentCell(row - 1, col);
        const QModelIndex index = grid->model()->index(row - 1, col);
        grid->edit(index);
        QWidget* editor = grid->indexWidget(index);
        ASSERT_TRUE(editor) << "no editor for row " << row << " column " << col;
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
    }
    static void save() { QTest::mouseClick(frmTraject->btnOpslaan, Qt::LeftButton); }
    // Routes named as given, each over the blocks 1, 6, 2, 5, written to the route file.
    static void saveRoutes(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            RouteRec* r = gRoutes.append(std::make_unique<RouteRec>());
            r->firstLine = r->endLine = gRouteLineCount;
            std::strncpy(r->name, name, 20);
            int row = 1;
            for (int b : {1, 6, 2, 5}) routeToggleBlock(r, b, row++);
            ASSERT_EQ(routeCloseCycle(r, 0), 1);
        }
        ASSERT_EQ(saveRouteFile(), 1);
    }
    RunningProgram program;
};

TEST_F(RouteDialog, ClickedBlocksBuildTheLinesAndAClosedLoopIsSaved) {
    QTest::keyClick(frmSchema, Qt::Key_F8);
    ASSERT_TRUE(frmTraject->isVisible());
    EXPECT_EQ(frmTraject->windowTitle(), "Toevoegen nieuw traject (dienstregeling)");
    EXPECT_EQ(frmTraject->btnOpslaan->text(), "Traject opslaan");
    EXPECT_EQ(gRouteCount, 1);
    clickBlock(1);
    EXPECT_EQ(blockColumn(), (std::vector<QString>{"1", ""}));
    save();  // one line is no route yet
    EXPECT_TRUE(frmTraject->isVisible());
    for (int b : {6, 2, 5}) clickBlock(b);
    EXPECT_EQ(blockColumn(), (std::vector<QString>{"1", "6", "2", "5", ""}));
    clickBlock(5);  // the last block again takes its line back
    EXPECT_EQ(blockColumn(), (std::vector<QString>{"1", "6", "2", ""}));
    clickBlock(5);
    frmTraject->strgrdTraject->setCurrentCell(2, 0);
    clickBlock(3);  // row 3 through the passing loop instead
    EXPECT_EQ(blockColumn(), (std::vector<QString>{"1", "6", "3", "5", ""}));

    typeCell(1, 1, "2400");
    EXPECT_EQ(cell(1, 1), "");
    EXPECT_EQ(gRouteLines[0]->hour, 0);
    typeCell(1, 1, "2359");
    EXPECT_EQ(cell(1, 1), "23:59");
    typeCell(2, 2, "3601");
    EXPECT_EQ(cell(2, 2), "");
    typeCell(2, 2, "0030");
    typeCell(3, 3, "256");
    EXPECT_EQ(cell(3, 3), "");
    EXPECT_EQ(gRouteLines[2]->speed, 100);
    typeCell(3, 3, "080");
    typeCell(5, 2, "0010");  // the empty last row takes nothing
    EXPECT_EQ(cell(5, 2), "");
    QTest::keyClicks(frmTraject->cboTrajectNaam->lineEdit(), "Rond");
    save();
    EXPECT_FALSE(frmTraject->isVisible());
    EXPECT_EQ(gActiveDialog, 0);

    Bytes expected{'V', '0', '.', '1'};
    int16s(expected, {1, 4, 0, 4, 0});
    const char name[21] = "Rond";
    expected.insert(expected.end(), name, name + 21);
    int16s(expected, {connectionFrom(1, 6), 1, 23, 59, 0, 100});
    int16s(expected, {connectionFrom(6, 3), 6, 0, 0, 30, 100});
    int16s(expected, {connectionFrom(3, 5), 3, 0, 0, 0, 80});
    int16s(expected, {connectionFrom(5, 1), 5, 0, 0, 0, 100});
    EXPECT_EQ(testsupport::readBytes(program.dir.file("oval.trj")), expected);
}

// The current column's header is drawn in bold: each header fits its column that way too.
TEST_F(RouteDialog, EveryHeaderFitsItsColumnInBold) {
    QTableWidget* grid = frmTraject->strgrdTraject;
    QHeaderView* header = grid->horizontalHeader();
    QFont bold = header->font();
    bold.setBold(true);
    const int margins = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    for (int c = 0; c < grid->columnCount(); ++c) {
        const QString text = grid->horizontalHeaderItem(c)->text();
        EXPECT_LE(QFontMetrics(bold).horizontalAdvance(text) + margins, grid->columnWidth(c)) << text.toStdString();
    }
}

TEST_F(RouteDialog, CancellingANewRouteRemovesIt) {
    saveRoutes({"Rond"});
    QTest::keyClick(frmSchema, Qt::Key_F8);
    EXPECT_EQ(gRouteCount, 2);
    clickBlock(1);
    QTest::mouseClick(frmTraject->btnAnnuleren, Qt::LeftButton);
    EXPECT_FALSE(frmTraject->isVisible());
    EXPECT_EQ(gRouteCount, 1);
    EXPECT_EQ(gRouteLineCount, 4);
}

TEST_F(RouteDialog, WithFiftyRoutesNoNewRouteIsAdded) {
    while (gRouteCount < kMaxRoutes) gRoutes.append(std::make_unique<RouteRec>());
    QTest::keyClick(frmSchema, Qt::Key_F8);
    EXPECT_EQ(gRouteCount, kMaxRoutes);
    EXPECT_EQ(lastDialogMessage(), "Maximum wordt overschreden");
    EXPECT_TRUE(processUntil([] { return !frmTraject->isVisible(); }));
    EXPECT_EQ(gCurRoute, nullptr);
}

TEST_F(RouteDialog, DeletingAsksFirst) {
    saveRoutes({"Rond", "Terug"});
    for (bool yes : {false, true}) {
        routeEditorCommand(1023);
        ASSERT_TRUE(frmTraject->isVisible());
        EXPECT_EQ(frmTraject->btnOpslaan->text(), "Traject verwijderen");
        EXPECT_FALSE(frmTraject->strgrdTraject->isEnabled());
        std::string asked;
        whenModal([&asked, yes](QWidget* modal) {
            asked = lastDialogMessage();
            clickButton(modal, yes ? "btnJa" : "btnNee");
        });
        save();
        EXPECT_EQ(asked, "Bent u zeker dat u dit traject wilt verwijderen ?");
        EXPECT_FALSE(frmTraject->isVisible());
        EXPECT_EQ(gRouteCount, yes ? 1 : 2);
    }
    loadRouteFile();
    ASSERT_EQ(gRouteCount, 1);
    EXPECT_STREQ(gRoutes[0]->name, "Terug");
}

TEST_F(RouteDialog, ANameUsedTwiceIsRefused) {
    saveRoutes({"A", "B"});
    routeEditorCommand(1022);
    ASSERT_TRUE(frmTraject->isVisible());
    QComboBox* names = frmTraject->cboTrajectNaam;
    EXPECT_EQ(names->count(), 2);
    names->lineEdit()->selectAll();
    QTest::keyClicks(names->lineEdit(), "B");
    EXPECT_STREQ(gRoutes[0]->name, "B");  // typing renames at once
    names->setCurrentIndex(1);
    frmTraject->cboTrajectNaamClick();
    EXPECT_EQ(lastDialogMessage(), "Trajectnaam tweemaal gebruikt");
    EXPECT_EQ(names->currentIndex(), 0);
    EXPECT_EQ(gCurRoute, gRoutes[0]);
    save();
    EXPECT_EQ(lastDialogMessage(), "Trajectnaam wordt dubbel gebruikt");
    EXPECT_TRUE(frmTraject->isVisible());
    names->lineEdit()->selectAll();
    QTest::keyClicks(names->lineEdit(), "C");
    names->setCurrentIndex(1);
    frmTraject->cboTrajectNaamClick();
    EXPECT_EQ(names->itemText(0), "C");
    EXPECT_EQ(gCurRoute, gRoutes[1]);
}

TEST_F(RouteDialog, TheGridGrowsAndShrinksInWholeRows) {
    routeEditorCommand(1021);
    QTableWidget* grid = frmTraject->strgrdTraject;
    const int rh = grid->verticalHeader()->defaultSectionSize();
    const int gridTop = grid->y();
    // The form keeps 93 pixels beside the grid's height for the name box above it and the buttons below.
    struct Case {
        const char* what;
        int gridHeight;  // before
        int extra;       // client height beyond grid height + 93
        int expected;    // grid height after
    } cases[] = {
        {"room for two more rows", 100, 2 * (rh + 1) + rh / 2, 100 + 2 * (rh + 1)},
        {"less than a row more changes nothing", 100, rh / 2, 100},
        {"one pixel short drops nothing (whole rows only)", 100, -1, 100},
        {"one row short drops one row", 100, -(rh + 1), 100 - (rh + 1)},
        {"never below two rows", 2 * rh + 2, -(rh + 1), 2 * rh + 2},
    };
    for (const Case& c : cases) {
        grid->resize(grid->width(), c.gridHeight);
        frmTraject->btnOpslaan->move(10, gridTop + c.gridHeight + 30);
        frmTraject->resize(frmTraject->width(), c.gridHeight + 93 + c.extra);
        EXPECT_EQ(grid->height(), c.expected) << c.what;
        EXPECT_EQ(frmTraject->btnOpslaan->y(), gridTop + c.expected + 30) << c.what;
        if (c.expected != c.gridHeight) {
            EXPECT_EQ(frmTraject->btnHelp->y(), frmTraject->btnOpslaan->y()) << c.what;
        }
    }
}

}  // namespace
