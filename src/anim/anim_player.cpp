#include "anim_player.h"

#include <QBrush>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace {

// Walking phases: how far the figure moves after each phase.
constexpr int kPhaseStep[8] = {5, 6, 3, 4, 5, 6, 3, 4};

struct WalkTables {
    WalkPart a[8][4];
    WalkPart b[8][3];
    WalkPart c[8][5];
    WalkTables() {
        const int d[8] = {-2, -1, 0, -1, -2, -1, 0, -1};
        const int qa[8] = {17, 18, 19, 18, 17, 18, 19, 18};
        const int qb[8] = {21, 22, 23, 22, 21, 22, 23, 22};
        const int e[8][2] = {{-10, 34}, {-13, 34}, {-15, 35}, {-17, 36}, {-19, 37}, {-17, 36}, {-15, 35}, {-13, 34}};
        for (int p = 0; p < 8; ++p) {
            a[p][0] = {16, 0, 10};
            a[p][1] = {33, 12, d[p]};
            a[p][2] = {p, 12, 14};
            a[p][3] = {qa[p], 60, 45};
            b[p][0] = {20, 100, 10};
            b[p][1] = {8 + p, 52, 0};
            b[p][2] = {qb[p], 0, 45};
            for (int i = 0; i < 4; ++i) c[p][i] = a[p][i];
            c[p][1].frame = 34;
            c[p][4] = {35, e[p][0], e[p][1]};
        }
    }
};

const WalkTables& walkTables() {
    static const WalkTables tables;
    return tables;
}

QImage loadBitmap(int id) {
    QImage image(QStringLiteral(":/anim/%1.png").arg(id));
    return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

AnimPlayer::AnimPlayer(int width, int height, std::function<uint32_t()> tickCount_,
                       std::function<uint32_t()> random_)
    : W(width), H(height), centreX(width / 2), centreY(height / 2), tickCount(std::move(tickCount_)),
      random(std::move(random_)) {
    canvas = QImage(W, H, QImage::Format_RGB32);
    tile = loadBitmap(1);
    sprite = loadBitmap(2);
    fillWithTile(canvas.rect());
    for (int i = 0; i < kFrameCount; ++i) frames[i] = loadBitmap(i + 3);
    int x = 0;
    int y = 0;
    for (SpriteRec& sp : sprites) {
        sp.x = x;
        sp.y = y;
        sp.right = sp.x + sp.width - 1;
        sp.bottom = sp.y + sp.height - 1;
        x += 250;
        if (x > W) {
            x = 0;
            y += 150;
        }
    }
    s = 1;
}

const std::array<SceneStep, AnimPlayer::kSceneSteps>& AnimPlayer::sceneTable() {
    static const std::array<SceneStep, kSceneSteps> table = {{
        {16, 0, 0},      {33, 12, 0},    {0, 0, 0},      {17, 48, 80},    {24, -55, 80},  {25, 0, 2000},
        {29, 5, 100},    {30, 0, 100},   {29, 0, 100},   {30, 0, 1500},   {26, -5, 80},   {27, 0, 500},
        {31, 5, 100},    {32, 0, 100},   {31, 0, 100},   {32, 0, 100},    {31, 0, 100},   {32, 0, 100},
        {31, 0, 100},    {32, 0, 1000},  {26, -5, 80},   {28, -15, 80},   {23, -25, 0},   {14, 52, 0},
        {20, 48, 80},    {22, -93, 0},   {15, 52, 0},    {20, 48, 80},
    }};
    return table;
}

const WalkPart* AnimPlayer::walkA() { return &walkTables().a[0][0]; }
const WalkPart* AnimPlayer::walkB() { return &walkTables().b[0][0]; }
const WalkPart* AnimPlayer::walkC() { return &walkTables().c[0][0]; }

int AnimPlayer::sceneFrameHeight(int frame) {
    if (frame >= 0 && frame <= 7) return 14;
    if (frame == 16 || frame == 20) return 10;
    if (frame >= 17 && frame <= 23) return 45;
    if (frame == 33) return -2;
    return 0;
}

int AnimPlayer::randomBelow(int n) {
    if (n <= 0) return 0;
    return static_cast<int>(random() % static_cast<uint32_t>(n));
}

// Delays are counted in ticks of the measured length.
int AnimPlayer::ticksFor(int ms) const { return static_cast<int>(std::lround(double(ms) / msPerTick)); }

void AnimPlayer::fillWithTile(const QRect& r) {
    QPainter p(&canvas);
    p.fillRect(r, QBrush(tile));
}

// The scene's clears take the corners as the figure code gives them, right and bottom edge excluded.
void AnimPlayer::clearRect(int x1, int y1, int x2, int y2) {
    if (record) record->push_back({-1, x1, y1, x2 - x1, y2 - y1});
    QPainter p(&canvas);
    p.fillRect(QRect(x1, y1, x2 - x1, y2 - y1), Qt::white);
}

void AnimPlayer::blitBitmap(int x, int y, const QImage& bitmap) {
    QPainter p(&canvas);
    p.setCompositionMode(copyMode == SRCPAINT ? QPainter::RasterOp_SourceOrDestination
                                              : QPainter::CompositionMode_Source);
    p.drawImage(x, y, bitmap);
}

void AnimPlayer::Timer1Timer() {
    if (closed) return;
    if (c > 0) {
        --c;
        if (c > 0) return;
    }
    if (s <= 1) {
        fillWithTile(canvas.rect());
        s = 2;
        c = 10;
    } else if (s == 2) {
        startTick = tickCount();
        s = 3;
        c = 10;
    } else if (s == 3) {
        // Ten ticks within 10 ms would make the tick length 0, and every delay divides by it.
        msPerTick = static_cast<uint16_t>((tickCount() - startTick) / 10);
        if (msPerTick == 0) msPerTick = 1;
        s = 4;
    } else if (s == 4) {
        for (SpriteRec& sp : sprites) moveBouncingSprite(sp);
        if (k == kEsc) {
            s = 8;
        } else if (k != 0) {
            s = 5;
            k = 0;
        }
        c = 31 / msPerTick;
    } else if (s == 5) {
        {
            QPainter p(&canvas);
            p.fillRect(canvas.rect(), Qt::white);
        }
        copyMode = SRCCOPY;
        fx = W;
        fy = centreY;
        s = 6;
    } else if (s <= 20) {
        runWalkingSequence();
    } else {
        closed = true;
    }
}

bool AnimPlayer::checkSpriteCollision(SpriteRec& sp, int dx, int dy) {
    const int left = sp.x + dx;
    const int right = sp.right + dx;
    const int top = sp.y + dy;
    const int bottom = sp.bottom + dy;
    bool found = false;
    for (SpriteRec& other : sprites) {
        if (&other == &sp) continue;
        const bool leftIn = left >= other.x && left <= other.right;
        const bool rightIn = right >= other.x && right <= other.right;
        if (top >= other.y && top <= other.bottom) {
            if (leftIn) {
                sp.flags = 5;
                other.flags = 10;
                found = true;
            } else if (rightIn) {
                sp.flags = 6;
                other.flags = 9;
                found = true;
            }
        } else if (bottom >= other.y && bottom <= other.bottom) {
            if (leftIn) {
                sp.flags = 9;
                other.flags = 6;
                found = true;
            } else if (rightIn) {
                sp.flags = 10;
                other.flags = 5;
                found = true;
            }
        }
    }
    return found;
}

void AnimPlayer::moveBouncingSprite(SpriteRec& sp) {
    int dx = sp.dx;
    int dy = sp.dy;
    bool dxChanged = false;
    if (sp.x < std::abs(dx)) {
        dx = randomBelow(20) + 1;
        dy = 20 - randomBelow(41);
        sp.flags = dy > 0 ? 5 : 9;
        dxChanged = true;
    } else if (sp.x > W - sp.width - std::abs(dx)) {
        dx = -(randomBelow(20) + 1);
        dy = 20 - randomBelow(41);
        sp.flags = dy > 0 ? 6 : 10;
        dxChanged = true;
    }
    if (sp.y < std::abs(dy)) {
        dy = randomBelow(20) + 1;
        if (!dxChanged) dx = 20 - randomBelow(41);
        sp.flags = dx > 0 ? 5 : 6;
    } else if (sp.y > H - sp.height - std::abs(dy)) {
        dy = -(randomBelow(20) + 1);
        if (!dxChanged) dx = 20 - randomBelow(41);
        sp.flags = dx > 0 ? 9 : 10;
    }
    checkSpriteCollision(sp, dx, dy);
    if (sp.flags != 0) {
        switch (sp.flags & 3) {
        case 1: dx = randomBelow(20) + 1; break;
        case 2: dx = -(randomBelow(20) + 1); break;
        case 3: dx = 1; break;
        default: break;
        }
        switch (sp.flags & 12) {
        case 4: dy = randomBelow(20) + 1; break;
        case 8: dy = -(randomBelow(20) + 1); break;
        case 12: dy = 1; break;
        default: break;
        }
        sp.flags = 0;
    }
    if (dx == 0) dx = 1;
    if (dy == 0) dy = 1;
    if (sp.x + dx <= 0) dx = 1;
    if (sp.x + dx >= W - sp.width) dx = -1;
    if (sp.y + dy <= 0) dy = 1;
    if (sp.y + dy >= H - sp.height) dy = -1;
    if (checkSpriteCollision(sp, dx, dy)) return;

    fillWithTile(QRect(sp.x, sp.y, sp.width, sp.height));
    sp.x += dx;
    sp.y += dy;
    sp.dx = dx;
    sp.dy = dy;
    sp.right = sp.x + sp.width - 1;
    sp.bottom = sp.y + sp.height - 1;
    copyMode = SRCPAINT;
    blitBitmap(sp.x, sp.y, sprite);
}

bool AnimPlayer::drawWalkCycle(const WalkPart* table, int parts, int low, int high, int direction) {
    if (!(fx > low && fx < high)) {
        if (k == kEsc) s = 21;
        return true;
    }
    if (phase > 7) phase = 0;
    for (int i = 0; i < parts; ++i) {
        const WalkPart& part = table[phase * parts + i];
        if (record) record->push_back({part.frame, fx + part.dx, fy + part.dy, frames[part.frame].width(),
                                       frames[part.frame].height()});
        blitBitmap(fx + part.dx, fy + part.dy, frames[part.frame]);
    }
    fx += direction * kPhaseStep[phase];
    ++phase;
    if (k != kEsc) c = 70 / msPerTick;
    return false;
}

void AnimPlayer::runScene() {
    if (sceneStep > 0 && k == kEsc) {
        clearRect(fx - 120, fy, fx + 60, fy + 80);
        fx += 50;
        sceneStep = kSceneSteps;
    }
    for (;;) {
        if (sceneStep == 3) {
            clearRect(fx - 60, fy, fx - 50, fy + 30);
            clearRect(fx + 10, fy + 40, fx + 50, fy + 80);
        } else if (sceneStep == 4) {
            clearRect(fx + 50, fy + 40, fx + 70, fy + 80);
        }
        if (sceneStep >= kSceneSteps) {
            s = 13;
            fx -= 97;
            return;
        }
        const SceneStep& step = sceneTable()[sceneStep];
        fx += step.advance;
        const QImage& frame = frames[step.frame];
        const int y = fy + sceneFrameHeight(step.frame);
        if (record) record->push_back({step.frame, fx, y, frame.width(), frame.height()});
        blitBitmap(fx, y, frame);
        c = ticksFor(step.delayMs);
        ++sceneStep;
        if (c != 0) return;
    }
}

void AnimPlayer::runWalkingSequence() {
    if (s <= 11) {
        s = 11;
        if (drawWalkCycle(walkA(), 4, centreX - 50, W + 10, -1) && s != 21) s = 12;
    } else if (s == 12) {
        runScene();
    } else if (s == 13) {
        if (drawWalkCycle(walkB(), 3, -W - 200, W, 1) && s != 21) s = 14;
    } else if (s == 14) {
        if (drawWalkCycle(walkC(), 5, -120, W + 50, -1)) s = 21;
    }
}
