#include "anim_player.h"
#include "untVestrelAnim.h"

#include <QTest>

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace {

constexpr int kW = 656;
constexpr int kH = 516;

// The player on a clock that advances msPerTick per tick and a seeded random source.
struct Harness {
    explicit Harness(uint32_t msPerTickOfClock = 15, uint32_t seed = 1) : stepMs(msPerTickOfClock), rng(seed) {}
    Harness(const Harness&) = delete;

    uint32_t now = 1000;
    uint32_t stepMs;
    std::mt19937 rng;
    AnimPlayer player{kW, kH, [this] { return now; }, [this] { return static_cast<uint32_t>(rng()); }};
    std::vector<int> statesSeen;

    void tick() {
        player.Timer1Timer();
        now += stepMs;
        if (statesSeen.empty() || statesSeen.back() != player.s) statesSeen.push_back(player.s);
    }
    // Ticks until pred holds; false when it did not within limit ticks.
    template <class Pred> bool runUntil(Pred pred, int limit = 200000) {
        for (int i = 0; i < limit; ++i) {
            if (pred()) return true;
            tick();
        }
        return pred();
    }
    bool saw(int state) const { return std::find(statesSeen.begin(), statesSeen.end(), state) != statesSeen.end(); }
};

bool isWhite(QRgb p) { return (p & 0xFFFFFF) == 0xFFFFFF; }

int whitePixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += isWhite(image.pixel(x, y));
    return n;
}

// The first pixel that is not white and lies outside every rectangle, or (-1, -1).
QPoint strayPixel(const QImage& image, const std::vector<QRect>& rects) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (isWhite(image.pixel(x, y))) continue;
            bool inside = false;
            for (const QRect& r : rects) inside = inside || r.contains(x, y);
            if (!inside) return {x, y};
        }
    return {-1, -1};
}

TEST(AnimPlayer, MeasuresTheTickOverTenTicks) {
    Harness h(15);
    ASSERT_TRUE(h.runUntil([&] { return h.player.s == 4; }, 100));
    EXPECT_EQ(h.player.msPerTick, 15);
    EXPECT_EQ(h.statesSeen, (std::vector<int>{2, 3, 4}));
}

// Ten ticks within 10 ms gave a tick length of 0, and the next delay divided by it.
TEST(AnimPlayer, TenTicksUnderTenMillisecondsCountAsOneMillisecond) {
    Harness h(0);
    ASSERT_TRUE(h.runUntil([&] { return h.player.s == 4; }, 100));
    EXPECT_EQ(h.player.msPerTick, 1);
    h.tick();
    EXPECT_EQ(h.player.c, 31);
    h.player.FormKeyPress('x');
    ASSERT_TRUE(h.runUntil([&] { return h.player.closeRequested(); }, 400000));
    EXPECT_TRUE(h.saw(12));
    EXPECT_TRUE(h.saw(14));
}

TEST(AnimPlayer, EscDuringTheSpritesSkipsTheWhiteScreenAndEndsAtTheWalkBoundary) {
    Harness h;
    ASSERT_TRUE(h.runUntil([&] { return h.player.s == 4; }));
    for (int i = 0; i < 50; ++i) h.tick();
    std::vector<AnimPlayer::Blit> drawn;
    h.player.record = &drawn;
    h.player.FormKeyPress(27);
    ASSERT_TRUE(h.runUntil([&] { return h.player.closeRequested(); }, 20));
    EXPECT_TRUE(h.saw(8));
    EXPECT_TRUE(h.saw(21));
    EXPECT_FALSE(h.saw(5));
    EXPECT_FALSE(h.saw(12));
    EXPECT_EQ(whitePixels(h.player.backBuffer()), 0);
}

TEST(AnimPlayer, EscDuringTheWalkInEndsItWithoutDelaysAtItsBoundary) {
    Harness h;
    ASSERT_TRUE(h.runUntil([&] { return h.player.s == 4; }));
    h.player.FormKeyPress('q');
    ASSERT_TRUE(h.runUntil([&] { return h.player.s == 11 && h.player.fx < kW - 100; }));
    h.player.FormKeyPress(27);
    const int fxAtEsc = h.player.fx;
    int ticks = 0;
    ASSERT_TRUE(h.runUntil([&] { return ++ticks, h.player.closeRequested(); }, 1000));
    EXPECT_FALSE(h.saw(12));
    // One phase per tick from here: at most 6 pixels each, at least 3.
    EXPECT_LE(ticks, (fxAtEsc - (kW / 2 - 50)) / 3 + 4);
    EXPECT_LE(h.player.fx, kW / 2 - 50);
}

TEST(AnimPlayer, EscDuringTheSceneWalksOffRightAndEndsThere) {
    Harness h;
    ASSERT_TRUE(h.runUntil([&] { return h.player.s == 4; }));
    h.player.FormKeyPress(' ');
    ASSERT_TRUE(h.runUntil([&] { return h.player.s == 12 && h.player.sceneStep == 6; }));
    h.player.FormKeyPress(27);
    ASSERT_TRUE(h.runUntil([&] { return h.player.closeRequested(); }, 5000));
    EXPECT_TRUE(h.saw(13));
    EXPECT_FALSE(h.saw(14));
    EXPECT_GE(h.player.fx, kW);
    EXPECT_EQ(whitePixels(h.player.backBuffer()), kW * kH);
}

// Another key: the white screen, the walk in, the 28 scene steps, the walk off right and back off left,
// then the close. Every tick's drawing leaves nothing outside the parts it drew, and the screen ends white.
TEST(AnimPlayer, AnotherKeyPlaysTheWholeSequenceToTheClose) {
    Harness h;
    ASSERT_TRUE(h.runUntil([&] { return h.player.s == 4; }));
    for (int i = 0; i < 20; ++i) h.tick();
    h.player.FormKeyPress('a');
    ASSERT_TRUE(h.runUntil([&] { return h.player.s == 6; }, 10));
    EXPECT_EQ(h.player.k, 0);
    EXPECT_EQ(whitePixels(h.player.backBuffer()), kW * kH);

    std::vector<AnimPlayer::Blit> drawn;
    std::vector<int> sceneFrames;
    int sceneDelay25 = -1;
    int ticks = 0;
    h.player.record = &drawn;
    while (!h.player.closeRequested() && ticks < 100000) {
        drawn.clear();
        const int state = h.player.s;
        h.tick();
        ++ticks;
        std::vector<QRect> rects;
        for (const auto& b : drawn) {
            rects.emplace_back(b.x, b.y, b.w, b.h);
            if (state == 12 && b.frame >= 0) sceneFrames.push_back(b.frame);
        }
        if (!drawn.empty() && drawn.back().frame == 25) sceneDelay25 = h.player.c;
        const bool sceneFigureWhole = state == 12 && h.player.sceneStep > 4;
        if (!drawn.empty() && (state == 11 || state == 13 || state == 14 || sceneFigureWhole)) {
            const QPoint stray = strayPixel(h.player.backBuffer(), rects);
            ASSERT_EQ(stray, QPoint(-1, -1)) << "state " << state << " scene step " << h.player.sceneStep;
        }
    }
    ASSERT_TRUE(h.player.closeRequested());
    for (int s : {11, 12, 13, 14, 21}) EXPECT_TRUE(h.saw(s)) << s;
    std::vector<int> expected;
    for (const SceneStep& step : AnimPlayer::sceneTable()) expected.push_back(step.frame);
    EXPECT_EQ(sceneFrames, expected);
    EXPECT_EQ(sceneDelay25, 133);  // 2000 ms in 15 ms ticks, rounded
    EXPECT_EQ(whitePixels(h.player.backBuffer()), kW * kH);
}

TEST(AnimPlayer, SpritesStayInsideTheClientAreaAndApart) {
    Harness h(15, 20240601);
    ASSERT_TRUE(h.runUntil([&] { return h.player.s == 4; }));
    std::set<std::pair<int, int>> places;
    for (int t = 0; t < 100000; ++t) {
        h.tick();
        const auto& sp = h.player.sprites;
        for (int i = 0; i < AnimPlayer::kSpriteCount; ++i) {
            ASSERT_GE(sp[i].x, 0);
            ASSERT_GE(sp[i].y, 0);
            ASSERT_LT(sp[i].right, kW);
            ASSERT_LT(sp[i].bottom, kH);
            ASSERT_EQ(sp[i].right, sp[i].x + 46);
            ASSERT_EQ(sp[i].bottom, sp[i].y + 46);
            for (int j = i + 1; j < AnimPlayer::kSpriteCount; ++j) {
                const bool apart = sp[i].right < sp[j].x || sp[j].right < sp[i].x || sp[i].bottom < sp[j].y ||
                                   sp[j].bottom < sp[i].y;
                ASSERT_TRUE(apart) << "tick " << t << " sprites " << i << " " << j;
            }
        }
        places.insert({sp[0].x, sp[0].y});
    }
    EXPECT_EQ(h.player.s, 4);
    EXPECT_GT(places.size(), 1000u);  // they really move about
}

TEST(AnimPlayer, CollisionFlagsOfBothSprites) {
    struct Case {
        int x, y, dx, dy;
        bool hit;
        int flags, otherFlags;
    };
    // The other sprite covers 100..146 both ways.
    const Case cases[] = {
        {140, 140, 0, 0, true, 5, 10},  // next top-left corner inside
        {60, 140, 0, 0, true, 6, 9},    // top-right
        {140, 60, 0, 0, true, 9, 6},    // bottom-left
        {60, 60, 0, 0, true, 10, 5},    // bottom-right
        {0, 0, 146, 146, true, 5, 10},  // the next rectangle counts, edges included
        {147, 100, 0, 0, false, 0, 0},
        {100, 147, 0, 0, false, 0, 0},
        {53, 53, 0, 0, false, 0, 0},
        {10, 10, 44, 44, true, 10, 5},  // bottom-right corner on the edge
    };
    for (const Case& c : cases) {
        Harness h;
        auto& sp = h.player.sprites;
        for (int i = 0; i < AnimPlayer::kSpriteCount; ++i) {
            sp[i].x = 400 + (i % 2) * 100;
            sp[i].y = 50 + i * 80;
        }
        sp[0].x = c.x;
        sp[0].y = c.y;
        sp[1].x = 100;
        sp[1].y = 100;
        for (auto& s : sp) {
            s.right = s.x + 46;
            s.bottom = s.y + 46;
            s.flags = 0;
        }
        EXPECT_EQ(h.player.checkSpriteCollision(sp[0], c.dx, c.dy), c.hit) << c.x << "," << c.y;
        EXPECT_EQ(sp[0].flags, c.flags) << c.x << "," << c.y;
        EXPECT_EQ(sp[1].flags, c.otherFlags) << c.x << "," << c.y;
    }
}

TEST(AnimPlayer, RandomBelowStaysBelowAndZeroGivesZero) {
    Harness h;
    EXPECT_EQ(h.player.randomBelow(0), 0);
    for (int i = 0; i < 1000; ++i) {
        const int r = h.player.randomBelow(41);
        ASSERT_GE(r, 0);
        ASSERT_LT(r, 41);
    }
}

TEST(TfrmVestrelAnim, WindowTimerAndKeys) {
    TfrmVestrelAnim form;
    EXPECT_EQ(form.windowTitle(), "Vestrel animatie");
    EXPECT_EQ(form.size(), QSize(656, 516));
    EXPECT_EQ(form.Timer1->interval(), 15);
    EXPECT_EQ(form.Timer1->timerType(), Qt::PreciseTimer);
    EXPECT_TRUE(form.Timer1->isActive());
    form.Timer1->stop();
    QTest::keyClick(&form, Qt::Key_Shift);
    EXPECT_EQ(form.player().k, 0);
    QTest::keyClick(&form, Qt::Key_B);
    EXPECT_EQ(form.player().k, 'b');
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_EQ(form.player().k, 27);
}

}  // namespace
