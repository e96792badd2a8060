// The viewer's whole animation as a state machine on a back buffer, without a window: the form drives it
// with its timer and keys and shows the buffer; tests drive it with their own clock, random source and keys.
#pragma once

#include <QImage>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

struct SpriteRec {
    int width = 47;
    int height = 47;
    int x = 0;
    int y = 0;
    int right = 0;   // x + width - 1
    int bottom = 0;  // y + height - 1
    int dx = 1;
    int dy = 1;
    int flags = 0;   // bounces: bit 0 right, bit 1 left, bit 2 down, bit 3 up
};

// One part of the walking figure, relative to the figure's position.
struct WalkPart {
    int frame;
    int dx;
    int dy;
};

// One step of the scene in the middle: a frame, how far the figure position moves, and the delay after it.
struct SceneStep {
    int frame;
    int advance;
    int delayMs;
};

class AnimPlayer {
public:
    enum CopyMode { SRCCOPY, SRCPAINT };
    static constexpr int kSpriteCount = 5;
    static constexpr int kFrameCount = 36;
    static constexpr int kSceneSteps = 28;
    static constexpr int kEsc = 27;

    // tickCount: milliseconds of a steady clock; random: any 32-bit source (randomBelow takes it modulo n).
    AnimPlayer(int width, int height, std::function<uint32_t()> tickCount, std::function<uint32_t()> random);

    void Timer1Timer();
    void FormKeyPress(int key) { k = key; }
    bool closeRequested() const { return closed; }

    const QImage& backBuffer() const { return canvas; }

    void moveBouncingSprite(SpriteRec& sprite);
    bool checkSpriteCollision(SpriteRec& sprite, int dx, int dy);
    void runWalkingSequence();
    bool drawWalkCycle(const WalkPart* table, int parts, int low, int high, int direction);
    void blitBitmap(int x, int y, const QImage& bitmap);
    int randomBelow(int n);

    static const std::array<SceneStep, kSceneSteps>& sceneTable();
    static const WalkPart* walkA();  // 8 rows of 4
    static const WalkPart* walkB();  // 8 rows of 3
    static const WalkPart* walkC();  // 8 rows of 5
    // The height at which the scene draws a frame, relative to the figure's y.
    static int sceneFrameHeight(int frame);
    // Every rectangle drawn or cleared, in order, when recording is on (for the artwork checks).
    struct Blit {
        int frame;  // -1 a clear
        int x, y, w, h;
    };
    std::vector<Blit>* record = nullptr;

    // Program state, named as the viewer's globals.
    int s = 1;
    int c = 0;
    int k = 0;
    int W;
    int H;
    int centreX;
    int centreY;
    uint16_t msPerTick = 0;
    uint32_t startTick = 0;
    int fx = 0;
    int fy = 0;
    int phase = 0;
    int sceneStep = 0;
    std::array<SpriteRec, kSpriteCount> sprites;
    CopyMode copyMode = SRCCOPY;

    QImage tile;
    QImage sprite;
    std::array<QImage, kFrameCount> frames;

private:
    void fillWithTile(const QRect& r);
    void clearRect(int x1, int y1, int x2, int y2);
    void runScene();
    int ticksFor(int ms) const;

    QImage canvas;
    std::function<uint32_t()> tickCount;
    std::function<uint32_t()> random;
    bool closed = false;
};
