// The step-program file against images laid out by hand from the file's and the records' tables.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "layout/model/layout_model.h"
#include "shell/config/messages.h"
#include "shell/model/app_state.h"
#include "steps/files/step_file.h"
#include "steps/model/step_file_format.h"
#include "steps/model/step_program.h"
#include "test_support.h"
#include "fuzz_seeds.h"

namespace {

// Little-endian bytes at the offsets of the Part's tables.
struct Bytes {
    std::vector<uint8_t> b;
    Bytes& text(const char* s) {
        b.insert(b.end(), s, s + std::strlen(s));
        return *this;
    }
    Bytes& u8(int v) {
        b.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    Bytes& i16(int v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
    Bytes& i32(int v) { return i16(v & 0xFFFF).i16((v >> 16) & 0xFFFF); }
    Bytes& f32(float f) {
        uint32_t v;
        std::memcpy(&v, &f, 4);
        return i32(static_cast<int>(v));
    }
    Bytes& zeros(int n) {
        b.insert(b.end(), static_cast<size_t>(n), 0);
        return *this;
    }
    Bytes& add(const Bytes& o) {
        b.insert(b.end(), o.b.begin(), o.b.end());
        return *this;
    }
};

// A 56-byte program: name, number, step count, then run-time bytes 0, first step, box.
Bytes program(const char* name, int number, int steps, int first, int left, int top) {
    Bytes p;
    p.text(name).zeros(21 - static_cast<int>(std::strlen(name)));
    p.u8(number).u8(steps).u8(0).u8(0).u8(7).zeros(2);  // current step, state, counter 7, pad
    p.i16(first).i16(0);                                // first step, wait left
    p.i32(left).i32(top).i32(left + 60).i32(top + 26);  // box
    p.i32(0).i32(0);                                    // next second, locomotive
    return p;
}

// A 10-byte step: condition value, action value, time, resolved target, condition code, action code.
Bytes step(int cv, int av, int time, int cc, int ac) {
    Bytes s;
    s.i16(cv).i16(av).i16(time).i16(-1).u8(cc).u8(ac);
    return s;
}

// A 40-byte formula.
Bytes formula(int position, int flags, int ta, int tb, int tc, int cmp, int op, float a, float b, float c) {
    Bytes f;
    f.u8(position).u8(flags).u8(ta).u8(tb).u8(tc).u8(cmp).u8(op).zeros(5);
    f.f32(a).f32(b).f32(c).f32(0).f32(0).f32(0).f32(0);
    return f;
}

const Bytes kProgB = program("b prog", 0, 2, 0, 100, 50);
const Bytes kProgA = program("A prog", 1, 1, 2, 300, 80);
const Bytes kSteps = Bytes{}.add(step(5, 0, 0, 1, 27)).add(step(3, 7, 0, 5, 31)).add(step(0, 2, 10, 24, 26));
const Bytes kFormulas =
    Bytes{}.add(formula(0, 1, 1, 0, 0, 0, 1, 1, 2, 3)).add(formula(1, 0, 5, 5, 0, 0, 1, 0, 0, 1));

Bytes version6File(const Bytes& first, const Bytes& second) {
    Bytes f;
    f.text("V0.6").i16(2).i16(3).i16(2).add(first).add(second).add(kSteps).add(kFormulas);
    return f;
}

class StepFile : public ::testing::Test {
protected:
    void SetUp() override {
        gLayoutFileName = "baan.spr";
        gLayoutOffset = {};
        gRunWithoutTrack = 0;
        clearStepPrograms();
        showDialogMessage("", 3);
    }
    void TearDown() override {
        gRunWithoutTrack = 0;
        gLayoutOffset = {};
    }
    int load(const Bytes& bytes, int keepBoxes = 0) {
        testsupport::writeBytes(dir.file("baan.stp"), bytes.b);
        return loadStepProgramFile(keepBoxes);
    }
    std::vector<uint8_t> saved() {
        EXPECT_EQ(saveStepProgramFile(), 1);
        return testsupport::readBytes(dir.file("baan.stp"));
    }
    testsupport::ScratchDir dir;
};

// The step-file fuzz harness's seeds (fuzz_seeds.h): the hand-made files of these tests.
TEST(StepFileFuzzSeeds, WrittenOnRequest) {
    if (!fuzzseeds::folder()) GTEST_SKIP();
    fuzzseeds::write("step_file", "version6.stp", version6File(kProgB, kProgA).b);
    Bytes v5;
    v5.text("V0.5").i16(1).i16(3).add(program("oud", 0, 3, 0, 10, 10));
    v5.add(step(5, 0, 0, 1, 26)).add(step(0, 0, 0, 0, 33)).add(step(0, 7, 0, 0, 25));
    fuzzseeds::write("step_file", "version5.stp", v5.b);
    Bytes bare;
    bare.i16(1).i16(2).add(program("heel oud", 0, 2, 0, 10, 10)).add(step(0, 0, 0, 0, 4)).add(step(0, 0, 0, 0, 11));
    fuzzseeds::write("step_file", "no_version.stp", bare.b);
    Bytes formulas;
    formulas.text("V0.6").i16(1).i16(3).i16(2).add(program("reken", 0, 3, 0, 100, 50));
    formulas.add(step(0, 1, 0, 24, 26)).add(step(1, 2, 0, 24, 23)).add(step(0, 0, 5, 0, 1)).add(kFormulas);
    fuzzseeds::write("step_file", "formulas.stp", formulas.b);
    Bytes far;
    far.text("V0.6").i16(2).i16(1).i16(0).add(program("ver", 0, 1, 0, 2147483000, -2147483000));
    far.add(program("leeg", 1, 0, 1, -2147483640, 2147483000)).add(step(0, 0, 0, 0, 1));
    fuzzseeds::write("step_file", "far_boxes.stp", far.b);
}

TEST_F(StepFile, NameTakesStpForTheLayoutExtension) {
    EXPECT_EQ(stepProgramFileName(), "baan.stp");
}

TEST_F(StepFile, CurrentVersionLoadsAndSavesBackSortedByCharacterCodes) {
    ASSERT_EQ(load(version6File(kProgB, kProgA)), 1);
    EXPECT_EQ(lastDialogMessage(), "");
    ASSERT_EQ(gStepProgramCount, 2);
    ASSERT_EQ(gStepCount, 3);
    ASSERT_EQ(gFormulaCount, 2);
    const StepProgramRec& b = *gStepPrograms[0];
    EXPECT_EQ(b.name, "b prog");
    EXPECT_EQ(b.firstStep, 0);
    EXPECT_EQ(b.stepCount, 2);
    EXPECT_EQ(b.counter, 7);
    EXPECT_EQ(b.box.left, 100);
    EXPECT_EQ(gSteps[1]->conditionCode, 5);
    EXPECT_EQ(gSteps[1]->actionCode, 31);
    EXPECT_EQ(gSteps[2]->time, 10);
    EXPECT_EQ(gFormulas[1]->position, 1);
    EXPECT_EQ(gFormulas[0]->types[0], 1);
    EXPECT_FLOAT_EQ(gFormulas[0]->entered[2], 3.0f);

    // A capital letter comes before a small one; the steps stay where they are.
    EXPECT_EQ(saved(), version6File(kProgA, kProgB).b);
    EXPECT_EQ(gStepPrograms[0]->name, "A prog");  // outside a session the table is sorted as well
    EXPECT_EQ(gStepPrograms[1]->firstStep, 0);
}

TEST_F(StepFile, SavingDuringASessionKeepsTheTableOrder) {
    ASSERT_EQ(load(version6File(kProgB, kProgA)), 1);
    gRunWithoutTrack = 1;
    EXPECT_EQ(saved(), version6File(kProgA, kProgB).b);
    EXPECT_EQ(gStepPrograms[0]->name, "b prog");  // peers name programs by table index
    EXPECT_EQ(gStepPrograms[0]->number, 0);
}

TEST_F(StepFile, RunTimeFieldsAreResetOnLoad) {
    Bytes running = program("loopt", 0, 1, 0, 10, 10);
    running.b[23] = 1;     // current step
    running.b[24] = 1;     // state running
    running.b[30] = 5;     // wait left
    running.b[48] = 0x99;  // next second
    running.b[52] = 0x44;  // a locomotive pointer of the writing program
    Bytes f;
    f.text("V0.6").i16(1).i16(1).i16(0).add(running).add(step(0, 0, 0, 0, 0));
    ASSERT_EQ(load(f), 1);
    const StepProgramRec& p = *gStepPrograms[0];
    EXPECT_EQ(p.currentStep, 0);
    EXPECT_EQ(p.state, 0);
    EXPECT_EQ(p.waitLeft, 0);
    EXPECT_EQ(p.nextSecond, 0);
    EXPECT_EQ(p.boundLoco, nullptr);
}

TEST_F(StepFile, VersionFiveHasNoFormulasAndOneLogicCodeLess) {
    Bytes f;
    f.text("V0.5").i16(1).i16(3).add(program("oud", 0, 3, 0, 10, 10));
    f.add(step(5, 0, 0, 1, 26)).add(step(0, 0, 0, 0, 33)).add(step(0, 7, 0, 0, 25));
    ASSERT_EQ(load(f), 1);
    EXPECT_EQ(gFormulaCount, 0);
    EXPECT_EQ(gSteps[0]->actionCode, 27);  // "(" was 26
    EXPECT_EQ(gSteps[1]->actionCode, 34);  // "O" was 33
    EXPECT_EQ(gSteps[2]->actionCode, 25);  // below 26 stays
}

TEST_F(StepFile, AFileWithoutVersionTextIsReadFromItsFirstByte) {
    Bytes f;
    f.i16(1).i16(2).add(program("heel oud", 0, 2, 0, 10, 10)).add(step(0, 0, 0, 0, 4)).add(step(0, 0, 0, 0, 11));
    ASSERT_EQ(load(f), 1);
    EXPECT_EQ(gStepPrograms[0]->name, "heel oud");
    EXPECT_EQ(gSteps[0]->actionCode, 5);
    EXPECT_EQ(gSteps[1]->actionCode, 25);
}

TEST(StepFileVersions, ActionCodesOfOlderFiles) {
    struct Row {
        int version, code, now;
    };
    const Row rows[] = {
        {0, 2, 2},   {0, 3, 4},   {0, 8, 9},   {0, 9, 12},  {0, 10, 13}, {0, 11, 25}, {0, 20, 34},
        {1, 13, 13}, {1, 14, 25}, {2, 17, 17}, {2, 18, 27}, {3, 18, 18}, {3, 19, 27}, {4, 21, 21},
        {4, 22, 27}, {5, 25, 25}, {5, 26, 27}, {6, 26, 26}, {6, 34, 34},
    };
    for (const Row& r : rows) EXPECT_EQ(convertActionCode(r.version, r.code), r.now) << r.version << " " << r.code;
}

TEST_F(StepFile, DamagedFilesLeaveAnEmptyStoreAndSayWhy) {
    const std::string why =
        "Er is een fout in het bestand 'baan.stp'. De stappenprogramma's moeten opnieuw gemaakt worden.";
    Bytes fiftyOne;
    fiftyOne.text("V0.6").i16(51).i16(0).i16(0);
    for (int k = 0; k < 51; ++k) fiftyOne.add(program("p", k, 0, 0, 10, 10));
    Bytes negative;
    negative.text("V0.6").i16(1).i16(-1).i16(0).add(program("p", 0, 0, 0, 10, 10));
    Bytes truncated = version6File(kProgB, kProgA);
    truncated.b.resize(truncated.b.size() - 1);
    Bytes pastTheSteps;
    pastTheSteps.text("V0.6").i16(1).i16(2).i16(0).add(program("p", 0, 3, 0, 10, 10));
    pastTheSteps.add(step(0, 0, 0, 0, 0)).add(step(0, 0, 0, 0, 0));
    Bytes overlap;
    overlap.text("V0.6").i16(2).i16(3).i16(0).add(program("p", 0, 2, 0, 10, 10)).add(program("q", 1, 2, 1, 10, 50));
    overlap.add(step(0, 0, 0, 0, 0)).add(step(0, 0, 0, 0, 0)).add(step(0, 0, 0, 0, 0));
    Bytes action35;
    action35.text("V0.6").i16(1).i16(1).i16(0).add(program("p", 0, 1, 0, 10, 10)).add(step(0, 0, 0, 0, 35));
    Bytes condition25;
    condition25.text("V0.6").i16(1).i16(1).i16(0).add(program("p", 0, 1, 0, 10, 10)).add(step(0, 0, 0, 25, 0));
    Bytes oldCodeTooHigh;  // version 0 code 21 becomes 35
    oldCodeTooHigh.i16(1).i16(1).add(program("p", 0, 1, 0, 10, 10)).add(step(0, 0, 0, 0, 21));
    Bytes formulaType8;
    formulaType8.text("V0.6").i16(0).i16(0).i16(1).add(formula(0, 0, 8, 0, 0, 0, 0, 0, 0, 0));
    Bytes comparison6;
    comparison6.text("V0.6").i16(0).i16(0).i16(1).add(formula(0, 1, 0, 0, 0, 6, 0, 0, 0, 0));
    Bytes operation10;
    operation10.text("V0.6").i16(0).i16(0).i16(1).add(formula(0, 0, 0, 0, 0, 0, 10, 0, 0, 0));
    const struct {
        const char* name;
        const Bytes& bytes;
    } cases[] = {{"51 programs", fiftyOne},         {"negative step count", negative},
                 {"truncated", truncated},          {"run past the steps", pastTheSteps},
                 {"overlapping runs", overlap},     {"action code 35", action35},
                 {"condition code 25", condition25}, {"converted code 35", oldCodeTooHigh},
                 {"formula type 8", formulaType8},  {"comparison 6", comparison6},
                 {"operation 10", operation10}};
    for (const auto& c : cases) {
        ASSERT_EQ(load(version6File(kProgB, kProgA)), 1);
        showDialogMessage("", 3);
        EXPECT_EQ(load(c.bytes), 0) << c.name;
        EXPECT_EQ(lastDialogMessage(), why) << c.name;
        EXPECT_EQ(gStepProgramCount + gStepCount + gFormulaCount, 0) << c.name;
    }
}

TEST_F(StepFile, TheLimitsThemselvesLoad) {
    Bytes f;
    f.text("V0.6").i16(50).i16(500).i16(50);
    for (int k = 0; k < 50; ++k) f.add(program("p", k, 10, 10 * k, 10, 10));
    for (int k = 0; k < 500; ++k) f.add(step(0, 0, 0, 0, 0));
    for (int k = 0; k < 50; ++k) f.add(formula(k, 0, 0, 0, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(load(f), 1);
    EXPECT_EQ(gStepCount, 500);
}

TEST_F(StepFile, AMissingFileIsNoError) {
    ASSERT_EQ(load(version6File(kProgB, kProgA)), 1);
    std::remove(dir.file("baan.stp").c_str());
    EXPECT_EQ(loadStepProgramFile(0), 0);
    EXPECT_EQ(lastDialogMessage(), "");
    EXPECT_EQ(gStepProgramCount, 0);
}

TEST_F(StepFile, BoxesAreStoredRelativeToAnUnmovedLayout) {
    ASSERT_EQ(load(version6File(kProgB, kProgA)), 1);
    const std::vector<uint8_t> before = saved();
    gLayoutOffset = {30, -40};
    for (StepProgramRec* p : gStepPrograms) p->box = {p->box.left + 30, p->box.top - 40, p->box.right + 30, p->box.bottom - 40};
    EXPECT_EQ(saved(), before);
    EXPECT_EQ(gStepPrograms[0]->box.left, 330);  // the boxes in memory keep their moved place
}

TEST_F(StepFile, KeepBoxesPutsBackTheBoxOfEachTablePosition) {
    ASSERT_EQ(load(version6File(kProgB, kProgA)), 1);
    gStepPrograms[1]->box = {1, 2, 3, 4};
    gStepPrograms[0]->name = "edited";
    ASSERT_EQ(loadStepProgramFile(1), 1);
    EXPECT_EQ(gStepPrograms[0]->name, "b prog");
    EXPECT_EQ(gStepPrograms[1]->box.left, 1);
    EXPECT_EQ(gStepPrograms[1]->box.bottom, 4);
    EXPECT_EQ(gStepPrograms[0]->box.left, 100);
}

TEST_F(StepFile, AFileThatCannotBeWrittenIsReported) {
    ASSERT_EQ(load(version6File(kProgB, kProgA)), 1);
    gLayoutFileName = "geen map/baan.spr";
    EXPECT_EQ(saveStepProgramFile(), 0);
    EXPECT_EQ(lastDialogMessage(), "Kan bestand 'geen map/baan.stp' niet openen !");
}

}  // namespace
