#pragma once
// A block with a train and loose wagons on it, and the check that the zones of gWagons, the counts,
// the slots and the links still agree after a change.
#include "engine_fixture.h"

#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

#include "layout/model/scale.h"
#include "operation/engine/train_placement.h"
#include "shell/model/input_state.h"

class WagonFixture : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        saved_ = {gCmPerUnit, gUnit20cm, gHalfUnit20cm, gUnit15cm};
        gCmPerUnit = 1;  // a layout unit is a centimetre: the locomotive is 20 units
        gUnit20cm = 20;
        gHalfUnit20cm = 10;
        gUnit15cm = 15;
        gMousePoint = {0, 0};
        // Block 1 along y 100 from x 100 to its 'H' end at 410.
        LayoutBuilder().block(1, {{100, 100}, {400, 100}, {410, 100}}).kinds({1, 6});
    }
    void TearDown() override {
        gCmPerUnit = saved_.cmPerUnit;
        gUnit20cm = saved_.unit20;
        gHalfUnit20cm = saved_.half20;
        gUnit15cm = saved_.unit15;
        gMousePoint = {0, 0};
        EngineTest::TearDown();
    }

    // Locomotive 3 heading to x 410 at x 300 with `front` wagons of 20 units behind it (from x 290 on,
    // 26 units apart) and `rear` wagons of 20 units ahead of it, the outermost first.
    static LocoRec* train(int front, int rear, int number = 3) {
        LocoRec* l = putLocoOnBlock(number, 1, 0, {300, 100}, true, 'H');
        hangWagons(l, front, 20);
        for (int i = 0; i < rear; ++i) {
            WagonRec* w = coupleTestWagon(l, true, 20);
            const float x = 340.0f + 26.0f * static_cast<float>(i);  // each new one is the outermost
            standAt(w, x + 20, x);
        }
        return l;
    }
    static void standAt(WagonRec* w, float frontX, float rearX) {
        w->front = w->rear = PositionRec{};
        w->front.block = w->rear.block = blockNumbered(1);
        w->front.x = frontX;
        w->rear.x = rearX;
        w->front.y = w->rear.y = 100;
        for (PositionRec* p : {&w->front, &w->rear}) {
            p->sectionA = 0;
            p->sectionB = 1;
            p->dx = 1;
        }
    }
    // A loose run of wagons of 4 units at the end of the loose zone, first wagon first, each given by
    // the x of its front and rear end; its block is marked.
    static std::vector<WagonRec*> looseRun(std::initializer_list<std::pair<float, float>> ends) {
        std::vector<WagonRec*> run;
        for (const auto& [frontX, rearX] : ends) {
            auto rec = std::make_unique<WagonRec>();
            rec->lengthUnits = 4;
            rec->number = 500 + static_cast<int>(run.size());
            WagonRec* w = gWagons.insert(gWagonCounts.loose, std::move(rec));
            ++gWagonCounts.loose;
            ++gWagonCounts.coupledEnd;
            standAt(w, frontX, rearX);
            if (!run.empty()) {
                run.back()->next = w;
                w->previous = run.back();
            }
            run.push_back(w);
        }
        blockNumbered(1)->state |= 0x10;
        return run;
    }
    static WagonRec* offTrackWagon() {
        auto rec = std::make_unique<WagonRec>();
        rec->lengthUnits = 20;
        return gWagons.append(std::move(rec));
    }
    static WagonRec* nth(WagonRec* first, int n) {
        while (first && n-- > 0) first = first->next;
        return first;
    }
    static int chainLength(const WagonRec* first) {
        int n = 0;
        for (; first && n <= kMaxWagons; first = first->next) ++n;
        return n;
    }
    static bool blockMarked() { return (blockNumbered(1)->state & 0x10) != 0; }

    // The zones of gWagons, the counts, every slot and every link.
    static void expectZonesTrue() {
        const int loose = gWagonCounts.loose, end = gWagonCounts.coupledEnd, total = gWagonTotal;
        ASSERT_TRUE(0 <= loose && loose <= end && end <= total) << loose << " " << end << " " << total;
        for (int i = 0; i < total; ++i) EXPECT_EQ(gWagons[i]->slot, i) << "slot " << i;
        for (int i = 0; i < loose; ++i) {
            const WagonRec* w = gWagons[i];
            EXPECT_EQ(w->owner, nullptr) << "loose " << i;
            EXPECT_TRUE(onTrack(w->front) && onTrack(w->rear)) << "loose " << i;
            if (w->next) {
                EXPECT_EQ(gWagons.indexOf(w->next), i + 1) << "loose " << i;
                EXPECT_EQ(w->next->previous, w) << "loose " << i;
            }
            if (w->previous) { EXPECT_EQ(w->previous->next, w) << "loose " << i; }
        }
        int pos = loose;
        for (LocoRec* l : gLocs)
            for (WagonRec* first : {l->frontChain, l->rearChain}) {
                const WagonRec* previous = nullptr;
                for (WagonRec* w = first; w && pos <= total; w = w->next) {
                    EXPECT_EQ(gWagons.indexOf(w), pos++) << "coupled wagon " << w->number;
                    EXPECT_EQ(w->owner, l);
                    EXPECT_EQ(w->previous, previous);
                    previous = w;
                }
            }
        EXPECT_EQ(pos, end) << "the end of the coupled zone";
        for (int i = end; i < total; ++i) {
            const WagonRec* w = gWagons[i];
            EXPECT_TRUE(!w->owner && !w->next && !w->previous) << "off track " << i;
            EXPECT_FALSE(onTrack(w->front) || onTrack(w->rear)) << "off track " << i;
        }
    }

private:
    struct Saved {
        float cmPerUnit;
        int8_t unit20, half20;
        int16_t unit15;
    } saved_{};
};
