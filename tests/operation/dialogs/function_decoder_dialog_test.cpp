// The function-decoder dialog on its real widgets: adding in address order, the table's limit,
// automatic coupling, the records it sends, its panels, and a decoder freed elsewhere.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstring>
#include <vector>

#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "network/sync/client_receive.h"
#include "operation/control/control_post.h"
#include "operation/dialogs/untFunctieDec.h"
#include "operation/files/function_decoder_file.h"
#include "operation/model/train_model.h"
#include "shell/config/messages.h"
#include "shell/model/app_state.h"
#include "shell/shell_test_support.h"

namespace {

using FormWidgets = std::vector<QWidget*>;

class FunctionDecoderDialog : public ::testing::Test {
protected:
    void SetUp() override {
        program.start();
        showDialogMessage("", 3);
        gNetOutFill = 0;
    }
    void TearDown() override {
        if (frmFunctieDec->isVisible()) frmFunctieDec->close();
        gNetLinkState = 0;
        gNetOutFill = 0;
        clearFunctionDecoders();
        clearTrainTables();
    }
    static void open() {
        frmFunctieDec->show();
        ASSERT_TRUE(frmFunctieDec->isVisible());
    }
    static void add(int address) {
        frmFunctieDec->edtFdecNummer->setText(QString::number(address));
        frmFunctieDec->btnFdecToevoegen->click();
    }
    static std::vector<uint8_t> sent() { return queuedNetBytes(); }
    RunningProgram program;
};

TEST_F(FunctionDecoderDialog, DecodersAreKeptInAddressOrder) {
    open();
    for (int a : {20, 5, 12}) add(a);
    ASSERT_EQ(gFunctionDecoderCount, 3);
    const int addresses[3] = {5, 12, 20};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(gFunctionDecoders[i]->address, addresses[i]);
        EXPECT_EQ(gFunctionDecoders[i]->slot, i);
        EXPECT_EQ(frmFunctieDec->cboFdecNummer->itemText(i).toInt(), addresses[i]);
    }
    const FunctionDecoderRec& d = *gFunctionDecoders[1];
    EXPECT_EQ(d.functionCount, 28);
    EXPECT_EQ(d.protocol, 1);
    EXPECT_EQ(gCurFunctionDecoder, gFunctionDecoders[1]);  // the one added last
    add(12);
    EXPECT_EQ(lastDialogMessage(), "Deze functiedecoder werd reeds toegevoegd");
    add(0);
    EXPECT_EQ(gFunctionDecoderCount, 3);
}

TEST_F(FunctionDecoderDialog, The200thDecoderIsRefusedForTheFileCannotHoldIt) {
    open();
    for (int a = 1; a <= 199; ++a) add(a);
    ASSERT_EQ(gFunctionDecoderCount, 199);
    add(500);
    EXPECT_EQ(lastDialogMessage(), "Maximaal aantal functiedecoders reeds ingevoerd !");
    EXPECT_EQ(gFunctionDecoderCount, 199);
}

TEST_F(FunctionDecoderDialog, ADecoderWithALocomotivesAddressIsCoupledToItAndTakesItsProtocol) {
    auto loco = std::make_unique<LocoRec>();
    loco->number = 3;
    loco->decoderType = 1;  // Motorola
    LocoRec* three = gLocs.append(std::move(loco));
    open();
    add(3);
    FunctionDecoderRec* d = gFunctionDecoders[0];
    EXPECT_EQ(d->loco, three);
    EXPECT_EQ(d->protocol, 0);
    EXPECT_EQ(frmFunctieDec->cboDCC->currentText().toStdString(), "MM");
    EXPECT_FALSE(frmFunctieDec->cboDCC->isEnabled());
    EXPECT_FALSE(frmFunctieDec->cboLoc->isEnabled());
}

TEST_F(FunctionDecoderDialog, OnlyTheCountsPanelsShowAndAClickSwitchesAFunction) {
    open();
    add(9);
    frmFunctieDec->cboFdecAantal->setCurrentIndex(5);
    frmFunctieDec->cboFdecAantalChange();
    EXPECT_EQ(gFunctionDecoders[0]->functionCount, 6);
    EXPECT_TRUE(frmFunctieDec->pnlF[5]->isVisible());
    EXPECT_FALSE(frmFunctieDec->pnlF[6]->isVisible());
    EXPECT_FALSE(frmFunctieDec->edtF[6]->isVisible());
    QTest::mouseClick(frmFunctieDec->pnlF[4], Qt::LeftButton);  // F5: bit 8
    EXPECT_EQ(gFunctionDecoders[0]->functionState, 0x100u);
    EXPECT_EQ(frmFunctieDec->pnlF[4]->frameShadow(), QFrame::Sunken);
    QTest::mouseClick(frmFunctieDec->pnlF[4], Qt::LeftButton);
    EXPECT_EQ(gFunctionDecoders[0]->functionState, 0u);
    EXPECT_EQ(frmFunctieDec->pnlF[4]->frameShadow(), QFrame::Raised);
}

// 35/37: kind, code, address, slot, the function index 0..27 and its 11-byte name.
// 35/49: kind, code, address, slot, the 21-byte name field and the function count.
TEST_F(FunctionDecoderDialog, NamesAreSentAsTheirRecords) {
    open();
    add(5);
    add(258);
    gCurFunctionDecoder = gFunctionDecoders[1];
    frmFunctieDec->FormActivate();
    gNetLinkState = 30;
    gNetOutFill = 0;
    frmFunctieDec->edtF[2]->setText("Licht");
    leaveField(frmFunctieDec->edtF[2]);
    std::vector<uint8_t> functionName = {35, 37, 2, 1, 1, 0, 2, 'L', 'i', 'c', 'h', 't', 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(sent(), functionName);
    EXPECT_EQ(gFunctionDecoders[1]->functionNames[2], "Licht");
    gNetOutFill = 0;
    frmFunctieDec->edtFdecNaam->setText("Dec");
    leaveField(frmFunctieDec->edtFdecNaam);
    std::vector<uint8_t> name = {35, 49, 2, 1, 1, 0, 'D', 'e', 'c'};
    name.insert(name.end(), 18, 0);
    name.push_back(28);
    EXPECT_EQ(sent(), name);
}

TEST_F(FunctionDecoderDialog, DecodersFreedElsewhereLeaveTheDialogShowingNone) {
    open();
    add(5);
    ASSERT_NE(gCurFunctionDecoder, nullptr);
    clearFunctionDecoders();  // as a file being loaded or a client's new copy does
    EXPECT_EQ(gCurFunctionDecoder, nullptr);
    EXPECT_FALSE(frmFunctieDec->edtFdecNaam->isEnabled());
    EXPECT_FALSE(frmFunctieDec->pnlF[0]->isVisible());
}

TEST_F(FunctionDecoderDialog, WithoutADecoderOnlyTheAddressFieldShows) {
    open();
    ASSERT_EQ(gCurFunctionDecoder, nullptr);
    FormWidgets none{frmFunctieDec->edtFdecNaam, frmFunctieDec->cboDCC, frmFunctieDec->cboLoc, frmFunctieDec->btnLoc,
                     frmFunctieDec->cboFdecAantal, frmFunctieDec->btnFdecVerwijderen};
    for (QWidget* w : none) EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    EXPECT_TRUE(frmFunctieDec->edtFdecNummer->isVisible());
    EXPECT_TRUE(frmFunctieDec->btnFdecToevoegen->isVisible());
    add(5);
    for (QWidget* w : none) EXPECT_TRUE(w->isVisible()) << w->objectName().toStdString();
    EXPECT_TRUE(frmFunctieDec->edtFdecNaam->isEnabled());
}

TEST_F(FunctionDecoderDialog, DeletingLeavesTheNextDecoderCurrent) {
    open();
    for (int a : {5, 12, 20}) add(a);
    gCurFunctionDecoder = gFunctionDecoders[1];
    frmFunctieDec->FormActivate();
    whenModal([](QWidget* modal) { clickButton(modal, "btnJa"); });
    frmFunctieDec->btnFdecVerwijderen->click();
    ASSERT_EQ(gFunctionDecoderCount, 2);
    EXPECT_EQ(gFunctionDecoders[1]->address, 20);
    EXPECT_EQ(gFunctionDecoders[1]->slot, 1);
    EXPECT_EQ(gCurFunctionDecoder, gFunctionDecoders[1]);
}

// What a client receives when the server's dialog adds or deletes a decoder: 35/0 (a = b = 0, c = the
// address) and 35/42 (a = the address, b = its slot, c = 0). The client does the same without asking or
// sending anything, and keeps the decoder its own dialog shows unless that one goes.
TEST_F(FunctionDecoderDialog, AClientFollowsDecodersAddedAndDeletedOnTheServer) {
    open();
    for (int a : {5, 20}) add(a);
    gCurFunctionDecoder = gFunctionDecoders[1];
    frmFunctieDec->FormActivate();
    gNetLinkState = 40;
    gNetOutFill = 0;
    auto receive = [](std::vector<uint8_t> r) {
        std::memcpy(gNetInBuffer, r.data(), r.size());
        return netClientReceive(static_cast<int>(r.size()));
    };
    auto listed = [] {
        std::vector<int> out;
        for (int i = 0; i < frmFunctieDec->cboFdecNummer->count(); ++i)
            out.push_back(frmFunctieDec->cboFdecNummer->itemText(i).toInt());
        return out;
    };
    // 300 added, then 12 (both in one read), then 20 again, which is already there.
    ASSERT_EQ(receive({35, 0, 0, 0, 0, 0, 0x2C, 0x01, 35, 0, 0, 0, 0, 0, 12, 0}), 1);
    ASSERT_EQ(receive({35, 0, 0, 0, 0, 0, 20, 0}), 1);
    EXPECT_EQ(lastDialogMessage(), "");
    ASSERT_EQ(gFunctionDecoderCount, 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(gFunctionDecoders[i]->address, (std::vector<int>{5, 12, 20, 300})[i]);
        EXPECT_EQ(gFunctionDecoders[i]->slot, i);
        EXPECT_EQ(gFunctionDecoders[i]->functionCount, 28);
        EXPECT_EQ(gFunctionDecoders[i]->protocol, 1);
    }
    EXPECT_EQ(listed(), (std::vector<int>{5, 12, 20, 300}));
    ASSERT_NE(gCurFunctionDecoder, nullptr);
    EXPECT_EQ(gCurFunctionDecoder->address, 20);
    EXPECT_EQ(frmFunctieDec->cboFdecNummer->currentText(), "20");

    // 5 at slot 0 deleted; a record whose address is not the slot's decoder's changes nothing.
    ASSERT_EQ(receive({35, 42, 5, 0, 0, 0, 0, 0}), 1);
    ASSERT_EQ(receive({35, 42, 99, 0, 0, 0, 0, 0}), 1);
    EXPECT_EQ(listed(), (std::vector<int>{12, 20, 300}));
    for (int i = 0; i < gFunctionDecoderCount; ++i) EXPECT_EQ(gFunctionDecoders[i]->slot, i);
    EXPECT_EQ(gCurFunctionDecoder->address, 20);
    EXPECT_EQ(frmFunctieDec->cboFdecNummer->currentText(), "20");

    // The decoder the client shows is deleted: the one now at its place is shown, as after a click.
    ASSERT_EQ(receive({35, 42, 20, 0, 1, 0, 0, 0}), 1);
    EXPECT_EQ(listed(), (std::vector<int>{12, 300}));
    ASSERT_NE(gCurFunctionDecoder, nullptr);
    EXPECT_EQ(gCurFunctionDecoder->address, 300);
    EXPECT_EQ(frmFunctieDec->cboFdecNummer->currentText(), "300");

    // With the dialog closed the table follows and the dialog stays closed.
    frmFunctieDec->close();
    ASSERT_EQ(receive({35, 0, 0, 0, 0, 0, 7, 0, 35, 42, 12, 0, 1, 0, 0, 0}), 1);  // 12 is at slot 1 behind 7
    EXPECT_FALSE(frmFunctieDec->isVisible());
    EXPECT_EQ(frmFunctieDec->Tag, 0);
    ASSERT_EQ(gFunctionDecoderCount, 2);
    EXPECT_EQ(gFunctionDecoders[0]->address, 7);
    EXPECT_EQ(gFunctionDecoders[1]->address, 300);
    EXPECT_EQ(gNetOutFill, 0);
}

// The server's changes of the decoder a client's dialog shows appear there at once: 35/35 (c = function
// + 256 x on), 35/37 (function index, 11-byte name), 35/49 (21-byte name, function count), 35/50
// (c = count), 35/51 (c = protocol).
TEST_F(FunctionDecoderDialog, AClientsDialogShowsTheServersChangesOfItsDecoder) {
    open();
    add(258);
    gNetLinkState = 40;
    gNetOutFill = 0;
    std::vector<uint8_t> r = {35, 35, 2, 1, 0, 0, 3, 1};               // F3 on
    const std::vector<uint8_t> fname = {35, 37, 2, 1, 0, 0, 2, 'L', 'i', 'c', 'h', 't', 0, 0, 0, 0, 0, 0};
    r.insert(r.end(), fname.begin(), fname.end());
    const std::vector<uint8_t> name = {35, 49, 2, 1, 0, 0, 'D', 'e', 'c', 0, 0, 0, 0, 0, 0, 0,
                                       0,  0,  0, 0, 0, 0, 0,   0,   0,   0, 0, 28};
    r.insert(r.end(), name.begin(), name.end());
    r.insert(r.end(), {35, 50, 2, 1, 0, 0, 6, 0, 35, 51, 2, 1, 0, 0, 0, 0});
    std::memcpy(gNetInBuffer, r.data(), r.size());
    ASSERT_EQ(netClientReceive(static_cast<int>(r.size())), 1);
    EXPECT_EQ(frmFunctieDec->pnlF[2]->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(frmFunctieDec->edtF[2]->text(), "Licht");
    EXPECT_EQ(frmFunctieDec->edtFdecNaam->text(), "Dec");
    EXPECT_EQ(frmFunctieDec->cboFdecAantal->currentIndex(), 5);
    EXPECT_TRUE(frmFunctieDec->pnlF[5]->isVisible());
    EXPECT_FALSE(frmFunctieDec->pnlF[6]->isVisible());
    EXPECT_EQ(frmFunctieDec->cboDCC->currentIndex(), 0);
    EXPECT_EQ(gNetOutFill, 0);
}

}  // namespace
