// Draws the viewer's bitmaps: the background tile (1), the bouncing wheel (2) and the 36 parts of the
// walking figure (3..38), written as <folder>/<id>.png. Build the target VestrelAnimArt and run it with the
// folder src/anim/art to redraw them.
//
// The figure is a railway guard in a blue coat and cap, pulling a little red wagon on a rope. Every part
// is cut from a picture of the whole figure in the same coordinates the viewer draws it in (relative to
// the figure position), so the parts of each walking phase and of each scene step join up. Parts keep a
// white margin on the side the figure walks away from: drawn by plain copy, that margin wipes the part's
// previous place.
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygon>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

namespace {

const QColor kCoat(34, 52, 128);
const QColor kCoatDark(20, 30, 80);
const QColor kSkin(238, 196, 158);
const QColor kCap(24, 24, 56);
const QColor kBand(200, 30, 30);
const QColor kTrousers(60, 60, 72);
const QColor kShoe(10, 10, 10);
const QColor kRope(130, 84, 40);
const QColor kWagon(196, 40, 28);
const QColor kWagonDark(120, 20, 14);
const QColor kWheel(232, 188, 40);
const QColor kBrass(250, 210, 60);
const QColor kInk(0, 0, 0);

constexpr double kPi = 3.14159265358979;

// A picture of the whole figure, in figure coordinates x -40..160, y -10..90.
struct Picture {
    QImage image{200, 100, QImage::Format_RGB32};
    QPainter p;
    Picture() {
        image.fill(Qt::white);
        p.begin(&image);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.translate(40, 10);
    }
    QImage cut(int x, int y, int w, int h) {
        if (p.isActive()) p.end();
        return image.copy(x + 40, y + 10, w, h);
    }
};

void line(QPainter& p, QColor c, int width, QPointF a, QPointF b) {
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(a, b);
}

void box(QPainter& p, QColor fill, QRect r) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(fill);
    p.drawRect(r);
}

void disc(QPainter& p, QColor fill, QPoint centre, int r) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(fill);
    p.drawEllipse(centre, r, r);
}

// The wagon facing left with its hook at (68, 50); wheelPhase 0..2 turns the spokes.
void wagon(QPainter& p, int wheelPhase) {
    box(p, kWagon, QRect(68, 52, 28, 14));
    box(p, kWagonDark, QRect(70, 55, 24, 3));
    line(p, kInk, 1, QPointF(66, 51), QPointF(68, 53));
    for (int cx : {75, 89}) {
        disc(p, kWheel, QPoint(cx, 71), 6);
        const double a = wheelPhase * kPi / 6;
        for (int i = 0; i < 2; ++i) {
            const double b = a + i * kPi / 2;
            line(p, kInk, 1, QPointF(cx - 5 * std::cos(b), 71 - 5 * std::sin(b)),
                 QPointF(cx + 5 * std::cos(b), 71 + 5 * std::sin(b)));
        }
        disc(p, kInk, QPoint(cx, 71), 1);
    }
}

// A leg from the hip, swung by angle degrees (positive: foot ahead, to the left).
void leg(QPainter& p, QPointF hip, double degrees) {
    const double a = degrees * kPi / 180;
    const QPointF ankle(hip.x() - 30 * std::sin(a), hip.y() + 30 * std::cos(a));
    line(p, kTrousers, 4, hip, ankle);
    line(p, kShoe, 3, ankle, ankle + QPointF(-5, 0));
}

// The guard's head seen from the side, facing left, at bob d (its cap's top at d + 2).
void sideHead(QPainter& p, int d, bool whistle) {
    p.setPen(Qt::NoPen);
    p.setBrush(kSkin);
    p.drawRect(QRect(35, d + 12, 5, 4));  // neck
    disc(p, kSkin, QPoint(37, d + 8), 5);
    box(p, kCap, QRect(32, d + 2, 11, 3));
    box(p, kBand, QRect(32, d + 5, 11, 1));
    line(p, kCap, 1, QPointF(28, d + 6), QPointF(32, d + 6));
    disc(p, kInk, QPoint(34, d + 8), 0);
    if (whistle) {
        box(p, kBrass, QRect(28, d + 10, 4, 2));
    } else {
        line(p, kInk, 1, QPointF(32, d + 11), QPointF(34, d + 11));
    }
}

// The guard walking left: body and legs of walking phase 0..7, head at bob d.
void sideGuard(QPainter& p, int phase, int d, bool whistle) {
    const double swing = 22 * std::sin(2 * kPi * phase / 8);
    const QPointF hip(38, 46);
    leg(p, hip, -swing);
    // The rear arm holds the rope.
    line(p, kCoatDark, 3, QPointF(41, 20), QPointF(47, 40));
    disc(p, kSkin, QPoint(48, 41), 2);
    line(p, kRope, 1, QPointF(49, 42), QPointF(52, 46));
    line(p, kRope, 1, QPointF(52, 46), QPointF(66, 51));
    box(p, kCoat, QRect(32, 16, 12, 32));
    for (int y : {21, 28, 35}) disc(p, kBrass, QPoint(35, y), 0);
    box(p, kCoatDark, QRect(32, 40, 12, 2));
    leg(p, hip, swing);
    // The front arm points the way, its hand in the part ahead of the body.
    line(p, kCoat, 3, QPointF(35, 19), QPointF(11, 30));
    disc(p, kSkin, QPoint(8, 30), 2);
    sideHead(p, d, whistle);
}

const int kBob[8] = {-2, -1, 0, -1, -2, -1, 0, -1};

// The figure walking left in phase 0..7 (walks A and C, without the lantern).
void walkingLeft(QPainter& p, int phase, bool whistle) {
    static const int wheel[8] = {0, 1, 2, 1, 0, 1, 2, 1};
    wagon(p, wheel[phase]);
    sideGuard(p, phase, kBob[phase], whistle);
}

// Facing the viewer in the middle of the scene; arms: 0 down, 1 and 2 waving, 3 hand at the cap,
// 4 cap lifted; look: -1 left, 0 ahead, 1 right.
void frontGuard(QPainter& p, int arms, int look) {
    wagon(p, 0);
    line(p, kRope, 1, QPointF(66, 51), QPointF(58, 70));
    line(p, kRope, 1, QPointF(58, 70), QPointF(50, 77));
    // Legs.
    line(p, kTrousers, 4, QPointF(35, 46), QPointF(35, 75));
    line(p, kTrousers, 4, QPointF(42, 46), QPointF(42, 75));
    line(p, kShoe, 3, QPointF(32, 76), QPointF(36, 76));
    line(p, kShoe, 3, QPointF(41, 76), QPointF(45, 76));
    box(p, kCoat, QRect(31, 16, 15, 32));
    for (int y : {21, 28, 35}) disc(p, kBrass, QPoint(38, y), 0);
    box(p, kCoatDark, QRect(31, 40, 15, 2));
    // The left arm (viewer's right) hangs down.
    line(p, kCoat, 3, QPointF(46, 19), QPointF(49, 38));
    disc(p, kSkin, QPoint(49, 40), 2);
    // The right arm (viewer's left).
    if (arms == 0) {
        line(p, kCoat, 3, QPointF(30, 19), QPointF(27, 38));
        disc(p, kSkin, QPoint(27, 40), 2);
    } else if (arms == 1 || arms == 2) {
        const QPointF hand = arms == 1 ? QPointF(20, 6) : QPointF(26, 4);
        line(p, kCoat, 3, QPointF(30, 19), QPointF(24, 13));
        line(p, kCoat, 3, QPointF(24, 13), hand);
        disc(p, kSkin, hand.toPoint(), 2);
    } else {
        line(p, kCoat, 3, QPointF(30, 19), QPointF(26, 12));
        line(p, kCoat, 3, QPointF(26, 12), QPointF(31, arms == 3 ? 6 : 3));
        disc(p, kSkin, QPoint(32, arms == 3 ? 5 : 2), 2);
    }
    // Head.
    p.setPen(Qt::NoPen);
    p.setBrush(kSkin);
    p.drawRect(QRect(36, 12, 5, 5));
    disc(p, kSkin, QPoint(38 + look, 9), 6);
    disc(p, kInk, QPoint(36 + 2 * look, 8), 0);
    disc(p, kInk, QPoint(40 + 2 * look, 8), 0);
    line(p, kInk, 1, QPointF(36 + look, 12), QPointF(40 + look, 12));
    if (arms == 4) {
        box(p, kCap, QRect(26, 0, 11, 3));  // the cap in his hand
        box(p, kBand, QRect(26, 3, 11, 1));
        line(p, QColor(90, 60, 30), 2, QPointF(33, 3), QPointF(43, 3));  // hair
    } else {
        box(p, kCap, QRect(32, 2, 13, 3));
        box(p, kBand, QRect(32, 5, 13, 1));
        line(p, kCap, 1, QPointF(33, 6), QPointF(44, 6));
    }
}

void save(const std::string& folder, int id, const QImage& image) {
    const std::string path = folder + "/" + std::to_string(id) + ".png";
    if (!image.convertToFormat(QImage::Format_RGB32).save(QString::fromStdString(path))) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

// Mirrors a picture of the figure walking left into one walking right, positioned for walk B:
// figure x becomes 111 - x.
QImage mirrored(const std::function<void(QPainter&)>& draw, int shift = 0) {
    Picture left;
    draw(left.p);
    left.p.end();
    QImage flipped = left.image.mirrored(true, false);
    // Flipped, image column c holds figure x = 159 - c, which belongs at x' = 111 - x = c - 48, that is at
    // image column c - 8.
    Picture right;
    right.p.drawImage(QPoint(-40 - 8 + shift, -10), flipped);
    right.p.end();
    return right.image;
}

QImage cutFrom(const QImage& picture, int x, int y, int w, int h) { return picture.copy(x + 40, y + 10, w, h); }

QImage tile() {
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(QColor(22, 38, 30));
    QPainter p(&image);
    for (int i = 0; i < 4; ++i) p.fillRect(QRect(i * 16 + 3, 10, 8, 44), QColor(52, 36, 22));
    p.fillRect(QRect(0, 20, 64, 3), QColor(84, 84, 92));
    p.fillRect(QRect(0, 41, 64, 3), QColor(84, 84, 92));
    p.fillRect(QRect(0, 0, 64, 2), QColor(30, 48, 38));
    return image;
}

QImage wheelSprite() {
    QImage image(47, 47, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPointF c(23, 23);
    p.setPen(QPen(QColor(255, 170, 0), 4));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 20, 20);
    p.setPen(QPen(QColor(200, 120, 0), 2));
    p.drawEllipse(c, 16, 16);
    p.setPen(QPen(QColor(255, 210, 60), 3));
    for (int i = 0; i < 6; ++i) {
        const double a = i * kPi / 3 + 0.3;
        p.drawLine(c, c + QPointF(16 * std::cos(a), 16 * std::sin(a)));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 240, 160));
    p.drawEllipse(c, 5, 5);
    p.setBrush(QColor(200, 40, 20));
    p.drawEllipse(c + QPointF(9, 0), 3, 3);  // the crank pin
    return image;
}

QImage lantern() {
    QImage image(20, 22, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    line(p, kInk, 1, QPointF(11, 1), QPointF(7, 5));
    box(p, kInk, QRect(2, 5, 9, 2));
    box(p, QColor(255, 220, 60), QRect(3, 7, 7, 9));
    line(p, kInk, 1, QPointF(6, 8), QPointF(6, 15));
    box(p, kInk, QRect(2, 16, 9, 3));
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : ".";
    save(folder, 1, tile());
    save(folder, 2, wheelSprite());

    // Walks A and C, facing left: the body of each phase (frames 0..7) at (12, 14).
    for (int phase = 0; phase < 8; ++phase) {
        Picture pic;
        walkingLeft(pic.p, phase, false);
        save(folder, 3 + phase, pic.cut(12, 14, 48, 66));
    }
    // Walk B, facing right: body and head of each phase (frames 8..15) at (52, 0).
    for (int phase = 0; phase < 8; ++phase) {
        const QImage pic = mirrored([phase](QPainter& p) { walkingLeft(p, phase, false); });
        save(folder, 3 + 8 + phase, cutFrom(pic, 52, 0, 48, 80));
    }
    {
        // The pointing hand ahead (16 at (0, 10)) and the head (33 and 34 at (12, d)), cut where the bob
        // is highest so that the head keeps a clear row above and below.
        Picture pic;
        walkingLeft(pic.p, 0, false);
        save(folder, 3 + 16, pic.cut(0, 10, 12, 24));
        save(folder, 3 + 33, pic.cut(12, -2, 48, 16));
        Picture whistling;
        walkingLeft(whistling.p, 0, true);
        save(folder, 3 + 34, whistling.cut(12, -2, 48, 16));
    }
    // The wagon behind, walking left (17..19 at (60, 45)) and walking right (21..23 at (0, 45)).
    for (int wheel = 0; wheel < 3; ++wheel) {
        const int phase = wheel;  // phases 0, 1, 2 turn the wheels 0, 1, 2
        Picture pic;
        walkingLeft(pic.p, phase, false);
        save(folder, 3 + 17 + wheel, pic.cut(60, 45, 48, 35));
        const QImage right = mirrored([phase](QPainter& p) { walkingLeft(p, phase, false); });
        save(folder, 3 + 21 + wheel, cutFrom(right, 0, 45, 52, 35));
    }
    {
        // The pointing hand ahead walking right (20 at (100, 10)).
        const QImage right = mirrored([](QPainter& p) { walkingLeft(p, 0, false); });
        save(folder, 3 + 20, cutFrom(right, 100, 10, 12, 24));
    }
    // The scene in the middle: turned to the viewer (drawn at +5 or +10), then turned right (28 at -10,
    // the figure as walk B first shows it 35 further left).
    const struct {
        int frame, x, arms, look;
    } scene[] = {{24, 5, 0, -1}, {25, 5, 0, 0}, {26, 5, 0, 1}, {27, 5, 3, 0},
                 {29, 10, 1, 0}, {30, 10, 2, 0}, {31, 10, 4, 0}, {32, 10, 3, 1}};
    for (const auto& s : scene) {
        Picture pic;
        frontGuard(pic.p, s.arms, s.look);
        save(folder, 3 + s.frame, pic.cut(s.x, 0, 110 - s.x, 80));
    }
    {
        const QImage right = mirrored([](QPainter& p) { walkingLeft(p, 0, false); }, -35);
        save(folder, 3 + 28, cutFrom(right, -10, 0, 120, 80));
    }
    save(folder, 3 + 35, lantern());
    return 0;
}
