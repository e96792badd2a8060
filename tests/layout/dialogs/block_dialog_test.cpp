// The block dialog on the running program: the section grid's kind and contact rules, the clamps and
// refusals, what OK stores, journals and sends to network peers, and what closing puts back.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <vector>

#include "layout/dialogs/untSektie.h"
#include "layout/editor/edit_journal.h"
#include "layout/editor/editor_state.h"
#include "layout/journal_test_support.h"
#include "layout/layout_builder.h"
#include "layout/model/block_geometry.h"
#include "layout/model/layout_codec.h"
#include "layout/model/layout_model.h"
#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "shell/config/messages.h"
#include "shell/dialogs/untBoodschap.h"
#include "shell/model/app_state.h"
#include "shell/shell_test_support.h"
#include "test_support.h"

namespace {

using journaltest::Bytes;

class BlockDialog : public ::testing::Test {
protected:
    void SetUp() override {
        program.start();
        emptyEditJournal();
        gEditMode = kEditClickOpens;
    }
    void TearDown() override {
        if (frmSektie->isVisible()) frmSektie->close();
        gNetLinkState = 0;
        gNetOutFill = 0;
        gEditMode = 0;
        gRunWithoutTrack = 0;
    }
    // Block 1 of four sections 60 units long, with these kinds and contacts, opened in modify mode.
    static BlockRec& openBlock(std::initializer_list<int> kinds, std::initializer_list<int> inputs) {
        LayoutBuilder().block(1, {{100, 100}, {160, 100}, {220, 100}, {280, 100}, {340, 100}}).kinds(kinds).inputs(inputs);
        return open(0);
    }
    static BlockRec& open(int index) {
        gSelectedBlock = gBlocks[index];
        frmSektie->show();
        return *gBlocks[index];
    }
    static std::string takeMessage() {
        const std::string text = frmBoodschap->isVisible() ? frmBoodschap->tekst() : std::string();
        if (frmBoodschap->isVisible()) frmBoodschap->btnOK->click();
        return text;
    }
    static void type(QLineEdit* field, const QString& text) {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
    }
    static void setKind(int section, int kind) {
        frmSektie->strgrdSecties->setCurrentCell(section, 1);
        ASSERT_FALSE(frmSektie->cboSecSoort->isHidden());
        frmSektie->cboSecSoort->setCurrentIndex(kind);
        frmSektie->cboSecSoortClick();
    }
    static std::vector<int> kindsOf(const BlockRec& b) { return {b.sectionKinds, b.sectionKinds + b.sections}; }
    static std::vector<int> inputsOf(const BlockRec& b) { return {b.sectionInputs + 1, b.sectionInputs + 1 + b.sections}; }
    static std::vector<uint8_t> queued() { return {gNetOutBuffer, gNetOutBuffer + gNetOutFill}; }
    RunningProgram program;
};

TEST_F(BlockDialog, SectionKindRules) {
    const struct {
        const char* name;
        std::vector<int> kinds, inputs;  // sections 1..4 before
        int section, kind;
        std::vector<int> kindsAfter, inputsAfter;
    } cases[] = {
        {"kind 5 before kind 4 is refused", {1, 0, 4, 6}, {10, 0, 12, 13}, 1, 5, {1, 0, 4, 6}, {10, 0, 12, 13}},
        {"clearing kind 5 clears earlier 4..6 but the first", {1, 4, 5, 6}, {10, 11, 12, 13}, 2, 0, {1, 0, 0, 6}, {10, 0, 0, 13}},
        {"clearing kind 2 clears later 1..3 but the last", {1, 2, 3, 6}, {10, 11, 12, 13}, 1, 0, {1, 0, 0, 6}, {10, 0, 0, 13}},
        {"the kind of the section before joins its contact", {1, 0, 0, 6}, {10, 0, 0, 13}, 1, 1, {1, 1, 0, 6}, {10, 10, 0, 13}},
        {"the kind of the section after joins its contact", {1, 0, 4, 6}, {10, 0, 12, 13}, 1, 4, {1, 4, 4, 6}, {10, 12, 12, 13}},
        // A higher kind than the section before starts a new group with the next free contact.
        {"kind 2 after kind 1 starts a group", {1, 0, 0, 6}, {10, 0, 0, 13}, 1, 2, {1, 2, 0, 6}, {10, 11, 0, 13}},
        {"kinds 1..3 need a kind before them", {1, 0, 0, 6}, {10, 0, 0, 13}, 2, 3, {1, 0, 0, 6}, {10, 0, 0, 13}},
        {"kinds 4..6 need a kind after them", {1, 0, 0, 6}, {10, 0, 0, 13}, 1, 5, {1, 0, 0, 6}, {10, 0, 0, 13}},
        {"kind 2 after kind 3 is refused", {1, 3, 0, 6}, {10, 11, 0, 13}, 2, 2, {1, 3, 0, 6}, {10, 11, 0, 13}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LayoutBuilder().block(1, {{100, 100}, {160, 100}, {220, 100}, {280, 100}, {340, 100}});
        BlockRec& b = *gBlocks[0];
        for (int s = 0; s < 4; ++s) {
            b.sectionKinds[s] = static_cast<uint8_t>(c.kinds[s]);
            b.sectionInputs[s + 1] = static_cast<int16_t>(c.inputs[s]);
        }
        open(0);
        setKind(c.section, c.kind);
        EXPECT_EQ(kindsOf(b), c.kindsAfter);
        EXPECT_EQ(inputsOf(b), c.inputsAfter);
        EXPECT_EQ(frmSektie->strgrdSecties->item(c.section, 1)->text().left(2),
                  QString("S%1").arg(c.kindsAfter[c.section]));
        frmSektie->close();
    }
}

TEST_F(BlockDialog, TheGridShowsTheSectionsAndTheFirstAndLastKindsAreFixed) {
    BlockRec& b = openBlock({1, 0, 0, 6}, {10, 0, 0, 13});
    EXPECT_EQ(gActiveDialog, 6);
    EXPECT_EQ(frmSektie->windowTitle(), "Gegevens blok");
    EXPECT_EQ(frmSektie->strgrdSecties->rowCount(), 4);
    EXPECT_EQ(frmSektie->strgrdSecties->item(3, 0)->text(), "4");
    EXPECT_EQ(frmSektie->strgrdSecties->item(0, 1)->text(), "S1: stopsectie");
    EXPECT_EQ(frmSektie->strgrdSecties->item(3, 2)->text(), "13");
    EXPECT_EQ(b.totalLength, 240);
    frmSektie->strgrdSecties->setCurrentCell(0, 1);
    EXPECT_TRUE(frmSektie->cboSecSoort->isHidden());
    frmSektie->strgrdSecties->setCurrentCell(3, 1);
    EXPECT_TRUE(frmSektie->cboSecSoort->isHidden());
    frmSektie->strgrdSecties->setCurrentCell(1, 2);  // no kind: no contact to edit
    EXPECT_TRUE(frmSektie->edtSecNr->isHidden());
    frmSektie->strgrdSecties->setCurrentCell(0, 2);
    EXPECT_FALSE(frmSektie->edtSecNr->isHidden());
    EXPECT_FALSE(frmSektie->pnlPlusMin2->isHidden());
}

TEST_F(BlockDialog, ContactNumbersAreUniqueAndTheStepEndsAt496) {
    LayoutBuilder()
        .block(1, {{100, 100}, {160, 100}, {220, 100}}).inputs({494, 2})
        .block(7, {{100, 200}, {160, 200}, {220, 200}}).inputs({495, 496});
    BlockRec& b = open(0);
    frmSektie->strgrdSecties->setCurrentCell(0, 2);
    type(frmSektie->edtSecNr, "495");
    frmSektie->edtSecNrExit();
    EXPECT_EQ(takeMessage(), "Sectienummer 495 reeds gebruikt in blok 7");
    EXPECT_EQ(frmSektie->edtSecNr->text(), "494");
    EXPECT_EQ(b.sectionInputs[1], 494);
    type(frmSektie->edtSecNr, "2");  // the other group of this block
    frmSektie->edtSecNrExit();
    EXPECT_EQ(takeMessage(), "Sectienummer 2 reeds gebruikt in blok 1");
    type(frmSektie->edtSecNr, "497");
    frmSektie->edtSecNrExit();
    EXPECT_EQ(frmSektie->edtSecNr->text(), "494");

    QTest::mousePress(frmSektie->pnlPlusMin2, Qt::LeftButton);  // 495 and 496 are taken
    EXPECT_EQ(frmSektie->edtSecNr->text(), "0");
    EXPECT_EQ(b.sectionInputs[1], 0);
    EXPECT_EQ(b.state & kBlockIncomplete, kBlockIncomplete);
    setFieldValue(frmSektie->edtSecNr, 4);
    QTest::mousePress(frmSektie->pnlPlusMin2, Qt::RightButton);  // 3, as 2 is this block's
    EXPECT_EQ(b.sectionInputs[1], 3);
    EXPECT_EQ(b.state & kBlockIncomplete, 0);
}

TEST_F(BlockDialog, FieldsAreClampedAndOkRefusesBadNumbers) {
    LayoutBuilder().block(1, {{100, 100}, {160, 100}, {220, 100}}).block(2, {{100, 200}, {160, 200}, {220, 200}});
    open(0);
    type(frmSektie->edtSnelheid, "300");
    EXPECT_EQ(frmSektie->edtSnelheid->text(), "255");
    type(frmSektie->edtWachttijd, "5000");
    EXPECT_EQ(frmSektie->edtWachttijd->text(), "3600");
    for (const char* number : {"0", "201"}) {
        type(frmSektie->edtNummer, number);
        frmSektie->btnOK->click();
        EXPECT_EQ(takeMessage(), "Bloknummer buiten grenzen !");
        EXPECT_TRUE(frmSektie->isVisible());
    }
    type(frmSektie->edtNummer, "2");
    frmSektie->btnOK->click();
    EXPECT_EQ(takeMessage(), "Dit bloknummer is reeds gebruikt !");
    QTest::mousePress(frmSektie->pnlPlusMin1, Qt::LeftButton);
    EXPECT_EQ(frmSektie->edtNummer->text(), "3");
    frmSektie->btnOK->click();
    EXPECT_FALSE(frmSektie->isVisible());
    EXPECT_EQ(gBlocks[0]->number, 3);
    EXPECT_EQ(gBlocks[0]->speed, 255);
    EXPECT_EQ(gBlocks[0]->waitTime, 3600);
}

// Closing without OK puts back the sections as they were when the dialog was filled.
TEST_F(BlockDialog, AnnulerenRestoresTheSections) {
    BlockRec& b = openBlock({1, 0, 0, 6}, {10, 0, 0, 13});
    setKind(1, 1);
    EXPECT_EQ(b.sectionInputs[2], 10);
    frmSektie->btnAnnuleren->click();
    EXPECT_EQ(kindsOf(b), (std::vector<int>{1, 0, 0, 6}));
    EXPECT_EQ(inputsOf(b), (std::vector<int>{10, 0, 0, 13}));
    EXPECT_EQ(gEditMode, 0u);
    EXPECT_EQ(gActiveDialog, 0);
}

// The journal's previous record holds the kinds and contacts of before the dialog, not the ones edited in
// the grid, so that an undo brings them back too.
TEST_F(BlockDialog, OkJournalsTheBlockAsItWasBeforeTheDialog) {
    BlockRec& b = openBlock({1, 0, 0, 6}, {10, 0, 0, 13});
    computeBlockGeometry(b);
    const BlockRec before = b;
    setKind(1, 2);
    setKind(2, 4);
    frmSektie->chboKeerlus->setChecked(true);
    frmSektie->btnOK->click();
    ASSERT_FALSE(frmSektie->isVisible());
    EXPECT_EQ(kindsOf(b), (std::vector<int>{1, 2, 4, 6}));
    EXPECT_EQ(b.flags & 1, 1);

    vestrel::ByteWriter now, old;
    encodeBlock(now, b);
    encodeBlock(old, before);
    const std::vector<uint8_t> header = journaltest::entryHeader('w', 'b', 0, 0, 0, 0);
    const std::vector<uint8_t> expected = Bytes().append(header).append(now.data()).append(old.data()).append(header).data();
    const std::vector<uint8_t> file = testsupport::readBytes(kEditJournalFile);
    ASSERT_EQ(file.size(), 2u * kBlockRecSize + 40);
    EXPECT_EQ(file, expected);
    // The old image's section contacts (byte 230, entry 0 unused) and kinds (byte 262), by hand.
    const std::vector<uint8_t> oldContacts(file.begin() + 20 + kBlockRecSize + 230, file.begin() + 20 + kBlockRecSize + 240);
    EXPECT_EQ(oldContacts, Bytes().i16(0).i16(10).i16(0).i16(0).i16(13).data());
    const std::vector<uint8_t> oldKinds(file.begin() + 20 + kBlockRecSize + 262, file.begin() + 20 + kBlockRecSize + 266);
    EXPECT_EQ(oldKinds, (std::vector<uint8_t>{1, 0, 0, 6}));

    ASSERT_GT(journalUndoRedo(0), 0);
    EXPECT_EQ(kindsOf(*gBlocks[0]), (std::vector<int>{1, 0, 0, 6}));
    EXPECT_EQ(inputsOf(*gBlocks[0]), (std::vector<int>{10, 0, 0, 13}));
    EXPECT_EQ(gBlocks[0]->flags & 1, 0);
    ASSERT_GT(journalUndoRedo(1), 0);
    EXPECT_EQ(kindsOf(*gBlocks[0]), (std::vector<int>{1, 2, 4, 6}));
}

// OK sends bytes 12..27 of the record, for the role that matches, also while a session runs.
TEST_F(BlockDialog, OkSendsTheAutomaticModeBytes) {
    for (const uint8_t state : {30, 40}) {
        SCOPED_TRACE(int(state));
        LayoutBuilder().block(4, {{100, 100}, {160, 100}, {220, 100}}).block(9, {{100, 200}, {160, 200}, {220, 200}});
        BlockRec& b = *gBlocks[1];
        b.allowedDirection = 'T';
        b.flags = 1 | 4;
        gRunWithoutTrack = 1;
        gNetLinkState = state;
        gNetOutFill = 0;
        gEditMode = 0;
        open(1);
        EXPECT_TRUE(frmSektie->pnlPlusMin1->isHidden());
        EXPECT_FALSE(frmSektie->cboRichting->isEnabled());
        EXPECT_FALSE(frmSektie->strgrdSecties->isEnabled());
        type(frmSektie->edtSnelheid, "80");
        type(frmSektie->edtWachttijd, "300");
        frmSektie->chboPersonen->setChecked(true);
        frmSektie->chboGoederen->setChecked(false);
        frmSektie->chboRangeer->setChecked(false);
        frmSektie->chboAndere->setChecked(true);
        frmSektie->chboBovenleiding->setChecked(true);
        frmSektie->chboWachtPers->setChecked(true);
        frmSektie->cboSnelhcorrBocht->setCurrentIndex(2);
        frmSektie->cboSnelhcorrHeen->setCurrentIndex(1);
        frmSektie->cboSnelhcorrTerug->setCurrentIndex(7);
        frmSektie->btnOK->click();
        EXPECT_FALSE(frmSektie->isVisible());
        const std::vector<uint8_t> expected = {5,  37, 9,    0,    1,    0,                    // kind, code, block 9, index 1
                                               0x89, 'T', 0, 0, 1 | 4 | 16, 2, 1, 7,            // trains .. slopes
                                               80, 0,  0,    0,    0x2C, 0x01, 0, 0};             // speed, wait
        EXPECT_EQ(queued(), expected);
        EXPECT_EQ(gEditMode, 0u);
        gRunWithoutTrack = 0;
    }
}

}  // namespace
