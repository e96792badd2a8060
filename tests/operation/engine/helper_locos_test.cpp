// Helper locomotives, wagon lengths and putting a single wagon on a block. Every change ends with the
// check that the zones of gWagons, the counts, the slots and the links still agree.
#include "wagon_fixture.h"

#include <QImage>
#include <filesystem>
#include <string>

#include "network/model/net_queue.h"
#include "network/model/net_state.h"
#include "operation/draw/vehicle_photos.h"
#include "operation/engine/contact_evaluation.h"
#include "operation/engine/helper_locos.h"
#include "operation/engine/wagon_coupling.h"
#include "operation/model/length_units.h"
#include "shell/config/messages.h"
#include "shell/model/app_state.h"
#include "test_support.h"

namespace {

class HelperLocos : public WagonFixture {
protected:
    void SetUp() override {
        WagonFixture::SetUp();
        gRequestingClient = 0;
        gNetOwnClientNumber = 0;
        gNetMode = 0;
        gLocoDataModified = 0;
    }
    void TearDown() override {
        gRequestingClient = 0;
        gNetOwnClientNumber = 0;
        gNetMode = 0;
        WagonFixture::TearDown();
    }
    // A locomotive that is not on the track, whose top speed (speed-table entry 126) is topSpeed.
    static LocoRec* spareLoco(int number, int topSpeed = 100, const char* photo = "") {
        auto rec = std::make_unique<LocoRec>();
        rec->number = static_cast<int16_t>(number);
        rec->run.speedSteps = 28;
        rec->run.maxSpeed = 130;
        rec->run.photo = photo;
        rec->speedTable.fill(static_cast<uint8_t>(topSpeed));
        LocoRec* l = gLocs.append(std::move(rec));
        l->slot = static_cast<int16_t>(gLocs.indexOf(l));
        return l;
    }
    // The main train: locomotive 3 with n wagons of 20 units hanging behind it.
    static LocoRec* mainTrain(int n) {
        LocoRec* l = train(n, 0);
        l->maxStep = 28;  // 130 km/h at most, speed-table entry i = i: 45 km/h is step 10, 90 step 20
        return l;
    }
    static std::string message() { return lastDialogMessage(); }
};

TEST_F(HelperLocos, AtMostFiveHelpersAndEachRefusalNamesItsCause) {
    LocoRec* main = mainTrain(6);
    for (int i = 0; i < 6; ++i) spareLoco(11 + i);
    WagonRec* w = main->frontChain;
    for (int i = 0; i < 5; ++i, w = w->next) {
        setWagonKind(w, 'H', 11 + i, 0);
        EXPECT_EQ(w->kind, 'H');
        EXPECT_EQ(w->number, 11 + i);
    }
    ASSERT_EQ(gHelperLocCount, 5);
    showDialogMessage("", 3);
    setWagonKind(w, 'H', 16, 0);
    EXPECT_EQ(message(), "Maximaal aantal hulplocomotieven bereikt !");
    EXPECT_EQ(w->number, 0) << "a refused number is not kept";
    EXPECT_EQ(gHelperLocCount, 5);

    // Locomotive 11 already helps locomotive 3.
    setWagonKind(w, 'H', 11, 0);
    EXPECT_EQ(message(), "Loc 11 is reeds hulploc van hoofdloc 3");
    // No such locomotive.
    setWagonKind(w, 'H', 77, 0);
    EXPECT_EQ(message(), "De locomotief bestaat niet !");
    // A locomotive with wagons at its front cannot stand in for a wagon.
    LocoRec* withWagons = train(1, 0, 20);
    gLocsOnTrack.removeAt(gLocsOnTrack.indexOf(withWagons));
    withWagons->run.head = PositionRec{};
    setWagonKind(w, 'H', 20, 0);
    EXPECT_EQ(message(), "Er zijn wagons verbonden aan de loc (zie \"Loc\\Beheer\")");
    EXPECT_EQ(w->number, 0);
    expectZonesTrue();
}

TEST_F(HelperLocos, LinkingTakesTheHelperOutOfServiceAndReleasingGivesItBack) {
    LocoRec* main = mainTrain(2);
    LocoRec* helper = spareLoco(11, 100, "BR01");
    helper->mode = kModeAuto;
    helper->flags = kLocoForce;
    WagonRec* w = main->frontChain;
    setWagonKind(w, 'H', 11, 0);
    EXPECT_EQ(helper->helperWagon, w);
    EXPECT_EQ(helper->mode, kModeShunting);
    EXPECT_EQ(helper->flags & kLocoForce, 0);
    EXPECT_NE(helper->packetCache, nullptr);
    EXPECT_EQ(w->photo, "BR01");

    struct Row {
        const char* name;
        void (*release)(WagonRec*);
    };
    const Row rows[] = {
        {"the kind changes", [](WagonRec* wagon) { setWagonKind(wagon, 'G', wagon->number, 0); }},
        {"the wagon leaves its train", [](WagonRec* wagon) { setWagonKind(wagon, wagon->kind, wagon->number, 2); }},
        {"another number", [](WagonRec* wagon) { setWagonKind(wagon, 'H', 12, 0); }},
    };
    spareLoco(12);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        w->kind = 'H';
        w->number = 11;
        setWagonKind(w, 'H', 11, 1);  // re-link
        ASSERT_EQ(helper->helperWagon, w);
        r.release(w);
        EXPECT_EQ(helper->helperWagon, nullptr);
        EXPECT_EQ(gHelperLocs.indexOf(helper), -1);
        EXPECT_EQ(helper->packetCache, nullptr);
        // Another number links locomotive 12 in 11's place; it goes too before the check below.
        if (findLocoByNumber(12)->helperWagon) setWagonKind(w, 'G', 0, 0);
    }
    EXPECT_EQ(gHelperLocCount, 0);
    expectZonesTrue();
}

TEST_F(HelperLocos, LinkedHelpersLimitTheTrainUntilReleased) {
    for (const bool slowFirst : {true, false}) {
        SCOPED_TRACE(slowFirst ? "slow helper first" : "slow helper last");
        clearTestTrains();
        LocoRec* main = mainTrain(2);
        spareLoco(11, slowFirst ? 45 : 90);
        spareLoco(12, slowFirst ? 90 : 45);
        setWagonKind(main->frontChain, 'H', 11, 0);
        setWagonKind(main->frontChain->next, 'H', 12, 0);
        ASSERT_EQ(gHelperLocCount, 2);
        main->maxStep = main->run.speedSteps;
        EXPECT_EQ(main->maxStep, 28);
        limitMaxStepByHelpers(main);
        EXPECT_EQ(main->maxStep, 10);
        // Releasing the slow one lets the train run as fast as the other helper.
        setWagonKind(slowFirst ? main->frontChain : main->frontChain->next, 'G', 0, 0);
        EXPECT_EQ(main->maxStep, 20);
    }
}

TEST_F(HelperLocos, AHelperLeavesWithItsTrain) {
    LocoRec* main = mainTrain(2);
    LocoRec* helper = spareLoco(11);
    setWagonKind(main->frontChain->next, 'H', 11, 0);
    ASSERT_EQ(gHelperLocCount, 1);
    ASSERT_EQ(uncoupleWagons(main, main->frontChain), 1);
    EXPECT_EQ(gHelperLocCount, 0) << "uncoupled wagons no longer carry a helper";
    EXPECT_EQ(helper->helperWagon, nullptr);
    expectZonesTrue();
}

TEST_F(HelperLocos, RecordsForTheClients) {
    gNetLinkState = 30;
    LocoRec* main = mainTrain(1);
    LocoRec* helper = spareLoco(11);
    WagonRec* w = main->frontChain;
    const uint8_t slot = static_cast<uint8_t>(w->slot), helperSlot = static_cast<uint8_t>(helper->slot);
    setWagonKind(w, 'H', 11, 0);
    std::vector<Bytes> records = netRecordBytes();
    ASSERT_EQ(records.size(), 2u);
    // 2/51: helper number, helper slot, wagon slot, the main locomotive's maximum step, linked.
    EXPECT_EQ(records[0], (Bytes{2, 51, 11, 0, helperSlot, 0, slot, 0, static_cast<uint8_t>(main->maxStep), 0, 1, 0}));
    EXPECT_LT(main->maxStep, 28);
    // 3/37: the wagon's slot and 68 bytes from its length units: units, kind, two spare bytes, then
    // three link words and the number.
    ASSERT_EQ(records[1].size(), 74u);
    EXPECT_EQ(Bytes(records[1].begin(), records[1].begin() + 8), (Bytes{3, 37, 0, 0, slot, 0, 20, 'H'}));
    EXPECT_EQ(Bytes(records[1].begin() + 22, records[1].begin() + 26), (Bytes{11, 0, 0, 0}));

    // The server acting for client 2: a refusal goes to that client only.
    gNetOutFill = 0;
    gRequestingClient = 2;
    showDialogMessage("", 3);
    setWagonKind(w, 'H', 77, 0);
    records = netRecordBytes();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0], (Bytes{2, 51, 11, 0, helperSlot, 0, slot, 0, 28, 0, 0, 0})) << "11 released";
    EXPECT_EQ(records[1], (Bytes{3, 18, 0, 0, slot, 0, 4, 2})) << "code 4 + 256 x client";
    EXPECT_EQ(Bytes(records[2].begin(), records[2].begin() + 8), (Bytes{3, 37, 0, 0, slot, 0, 20, 'H'}));
    EXPECT_EQ(Bytes(records[2].begin() + 22, records[2].begin() + 26), (Bytes{0, 0, 0, 0})) << "the number is dropped";
    EXPECT_EQ(message(), "") << "the server shows nothing";
    gRequestingClient = 0;

    // A client asks; nothing changes locally. Its own number (3) rides along.
    gNetOutFill = 0;
    gNetLinkState = 40;
    gNetMode = 40;
    gNetOwnClientNumber = 3;
    w->kind = 'G';
    w->number = 0;
    setWagonKind(w, 'H', 11, 0);
    EXPECT_EQ(w->kind, 'G');
    w->lengthCm = 30;
    EXPECT_EQ(applyWagonLength(w), 0);
    EXPECT_EQ(w->lengthCm, 30);
    ASSERT_EQ(gNetOutFill, 20);
    EXPECT_EQ(Bytes(gNetOutBuffer, gNetOutBuffer + 20),
              (Bytes{3, 51, 0, 0, slot, 0, 'H', 0, 11, 0, 3, 0, 3, 39, 0, 0, slot, 0, 30, 0}));
}

TEST_F(HelperLocos, LengthsAreFlooredCappedAndReportedBack) {
    struct Row {
        const char* name;
        float cmPerUnit;
        int cm;
        int units, cmAfter;
    };
    const Row rows[] = {
        {"3 cm becomes 5 cm", 0.25f, 3, 14, 5},
        {"below 6 units is 6, reported in whole centimetres", 1.0f, 8, 6, 12},
        {"a long wagon at a fine zoom is capped at a byte", 0.25f, 120, 255, 65},
        {"an ordinary length", 1.0f, 30, 24, 30},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        clearTestTrains();
        gCmPerUnit = r.cmPerUnit;
        gNetLinkState = 30;
        gNetOutFill = 0;
        gLocoDataModified = 0;
        WagonRec* w = offTrackWagon();
        w->lengthCm = static_cast<uint8_t>(r.cm);
        EXPECT_EQ(applyWagonLength(w), 0) << "off the track";
        EXPECT_EQ(w->lengthUnits, r.units);
        EXPECT_EQ(w->lengthCm, r.cmAfter);
        EXPECT_EQ(gLocoDataModified, 1);
        ASSERT_EQ(netRecordBytes().size(), 1u);
        EXPECT_EQ(netRecordBytes()[0], (Bytes{3, 39, static_cast<uint8_t>(r.units), 0, static_cast<uint8_t>(w->slot), 0,
                                              static_cast<uint8_t>(r.cmAfter), 0}));
    }
}

TEST_F(HelperLocos, ALongerWagonRefitsItsTrainOrIsUndone) {
    LocoRec* main = mainTrain(2);
    checkTrainLength(main);
    const int before = main->trainLength;
    WagonRec* w = main->frontChain;
    w->lengthCm = 30;  // 24 units instead of 20
    EXPECT_EQ(applyWagonLength(w), 1);
    EXPECT_EQ(w->lengthUnits, 24);
    EXPECT_EQ(main->trainLength, before + 4);
    EXPECT_NEAR(w->front.x - w->rear.x, 24, 0.01);
    EXPECT_EQ(gLocoDataModified, 1);
    expectZonesTrue();

    // 250 cm cannot stand on a block of 310 units behind a locomotive at 300: the old length comes back.
    w->lengthCm = 250;
    EXPECT_EQ(applyWagonLength(w), 0);
    EXPECT_EQ(w->lengthUnits, 24);
    EXPECT_EQ(w->lengthCm, 30);
    EXPECT_EQ(main->trainLength, before + 4);
    EXPECT_GE(gLocsOnTrack.indexOf(main), 0);
    expectZonesTrue();
}

TEST_F(HelperLocos, AWagonIsPlacedWhereItFitsAndCollidesWithNothing) {
    gNetLinkState = 30;
    WagonRec* w = offTrackWagon();
    w->lengthCm = 20;  // 14 units
    // Block 1 runs from x 100 to 410 in two sections (300 and 10 units).
    gMousePoint = {300, 100};
    ASSERT_EQ(placeWagonOnBlock(w, blockNumbered(1), 0), 1);
    EXPECT_EQ(gWagons.indexOf(w), 0);
    EXPECT_EQ(gWagonCounts.loose, 1);
    EXPECT_NEAR(w->front.x, 300, 0.01);
    EXPECT_NEAR(w->rear.x, 286, 0.01);
    EXPECT_EQ(w->front.block, blockNumbered(1));
    EXPECT_TRUE(blockMarked());
    ASSERT_EQ(netRecordBytes().size(), 1u);
    EXPECT_EQ(netRecordBytes()[0], (Bytes{3, 40, 0, 0, 0, 0, 1, 0, 0, 0, 0x2C, 0x01, 100, 0}));
    expectZonesTrue();

    struct Row {
        const char* name;
        DiagramPoint click;
        int segment;
    };
    const Row rows[] = {
        {"nearer the block start than the length + 1", {114, 100}, 0},
        {"on the wagon already there", {295, 100}, 0},
        {"a segment the block does not have", {200, 100}, 5},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        WagonRec* other = offTrackWagon();
        other->lengthCm = 20;
        gMousePoint = r.click;
        EXPECT_EQ(placeWagonOnBlock(other, blockNumbered(1), r.segment), 0);
        EXPECT_FALSE(onTrack(other->front));
        EXPECT_EQ(gWagonCounts.loose, 1);
        expectZonesTrue();
    }
    // A wagon that already stands is not placed again.
    gMousePoint = {200, 100};
    EXPECT_EQ(placeWagonOnBlock(w, blockNumbered(1), 0), 0);
    EXPECT_NEAR(w->front.x, 300, 0.01);
    // Just far enough from the start: 14 + 1 units and a little.
    WagonRec* last = gWagons[gWagonTotal - 1];
    gMousePoint = {116, 100};
    EXPECT_EQ(placeWagonOnBlock(last, blockNumbered(1), 0), 1);
    expectZonesTrue();
}

class HelperStepLimit : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        LayoutBuilder().block(1, {{100, 100}, {400, 100}}).kinds({1, 6});
    }
    // A helper locomotive off the track whose top speed-table entry is `topSpeed`, linked to a wagon of
    // `main`'s rear chain.
    static LocoRec* helper(LocoRec* main, int number, int topSpeed) {
        auto rec = std::make_unique<LocoRec>();
        rec->number = static_cast<int16_t>(number);
        rec->speedTable[kSpeedTableSize - 1] = static_cast<uint8_t>(topSpeed);
        LocoRec* h = gLocs.append(std::move(rec));
        h->helperWagon = coupleTestWagon(main, true, 20, 'H');
        gHelperLocs.append(h);
        return h;
    }
};

// The main locomotive runs 28 steps of speed i at table entry i, 130 at most: a helper of top speed 45
// allows step 10, one of 90 step 20. The slower helper decides in either table order.
TEST_F(HelperStepLimit, TheSlowestHelperLimitsTheMaximumStepWhateverItsPlace) {
    struct Case {
        int first, second, expected;
    };
    for (const Case c : {Case{45, 90, 10}, Case{90, 45, 10}, Case{200, 255, 28}}) {
        SCOPED_TRACE(c.first);
        clearTestTrains();
        LocoRec* main = putLocoOnBlock(3, 1, 0, {300, 100}, true, 'H');
        helper(main, 7, c.first);
        helper(main, 8, c.second);
        main->maxStep = 5;
        limitMaxStepByHelpers(main);
        EXPECT_EQ(main->maxStep, c.expected);
    }
}

TEST_F(HelperStepLimit, HelpersOfOtherTrainsAndTheLocomotiveItselfDoNotLimitIt) {
    LocoRec* main = putLocoOnBlock(3, 1, 0, {300, 100}, true, 'H');
    LocoRec* other = putLocoOnBlock(4, 1, 0, {200, 100}, true, 'H');
    helper(other, 7, 45);
    main->helperWagon = coupleTestWagon(main, true, 20, 'H');
    main->speedTable[kSpeedTableSize - 1] = 10;
    gHelperLocs.append(main);
    main->maxStep = 5;
    limitMaxStepByHelpers(main);
    EXPECT_EQ(main->maxStep, 28);
    limitMaxStepByHelpers(other);
    EXPECT_EQ(other->maxStep, 10);
}


// Pictures are made here from scratch: a locomotive photo with a red band where the strip is taken.
TEST(TrainPicture, AHelperGetsAStripOfItsLocomotivePhoto) {
    testsupport::ScratchDir dir;
    std::filesystem::create_directories("foto/loc");
    std::filesystem::create_directories("foto/wag");
    QImage loco(160, 80, QImage::Format_RGB32);
    loco.fill(Qt::blue);
    for (int y = 14; y < 54; ++y)
        for (int x = 0; x < 160; ++x) loco.setPixel(x, y, qRgb(255, 0, 0));
    ASSERT_TRUE(loco.save("foto/loc/br01.bmp", "BMP"));  // another case than the name asks for
    QImage blank(200, 60, QImage::Format_RGB32);
    blank.fill(Qt::white);
    ASSERT_TRUE(blank.save("foto/wag/00blanco.bmp", "BMP"));

    WagonRec w;
    w.kind = 'H';
    w.photo = "BR01";
    QImage picture;
    buildTrainPicture(&w, &picture);
    QImage written("foto/loc/hulploc/BR01.bmp", "BMP");
    ASSERT_FALSE(written.isNull());
    EXPECT_EQ(written.size(), QSize(160, 40));
    EXPECT_EQ(written.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(written.pixel(159, 39), qRgb(255, 0, 0));
    EXPECT_EQ(picture.size(), QSize(160, 40));

    // A name that leaves the folder takes the blank photo and writes nothing.
    for (const char* name : {"../evil", "a/b", "..", "x\\y"}) {
        SCOPED_TRACE(name);
        w.photo = name;
        QImage p;
        buildTrainPicture(&w, &p);
        EXPECT_EQ(p.size(), QSize(200, 60));
    }
    EXPECT_FALSE(std::filesystem::exists("foto/loc/evil.bmp"));
    EXPECT_FALSE(std::filesystem::exists("foto/loc/hulploc/a"));
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::recursive_directory_iterator("foto/loc/hulploc")) ++files;
    EXPECT_EQ(files, 1);
}

}  // namespace
