#pragma once
// The drawing vocabulary of the program over a QImage back buffer: pen (colour, width, style, copy/XOR/
// not-XOR mode), brush, font, MoveTo/LineTo, rectangles, ellipses, polygons, text, pixels and copies.
// Drawing follows the classic desktop rules so that pictures are exact and testable: antialiasing is off,
// a line leaves out its end pixel, a rectangle or ellipse leaves out its right and bottom edge, and
// colours are 0x00BBGGRR values.
#include <QFont>
#include <QImage>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QPainter;

namespace vestrel {

using TColor = uint32_t;  // 0x00BBGGRR

constexpr TColor rgb(int r, int g, int b) {
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int redOf(TColor c) { return c & 0xFF; }
constexpr int greenOf(TColor c) { return (c >> 8) & 0xFF; }
constexpr int blueOf(TColor c) { return (c >> 16) & 0xFF; }

constexpr TColor clBlack = rgb(0, 0, 0);
constexpr TColor clMaroon = rgb(128, 0, 0);
constexpr TColor clGreen = rgb(0, 128, 0);
constexpr TColor clOlive = rgb(128, 128, 0);
constexpr TColor clNavy = rgb(0, 0, 128);
constexpr TColor clPurple = rgb(128, 0, 128);
constexpr TColor clTeal = rgb(0, 128, 128);
constexpr TColor clGray = rgb(128, 128, 128);
constexpr TColor clSilver = rgb(192, 192, 192);
constexpr TColor clRed = rgb(255, 0, 0);
constexpr TColor clLime = rgb(0, 255, 0);
constexpr TColor clYellow = rgb(255, 255, 0);
constexpr TColor clBlue = rgb(0, 0, 255);
constexpr TColor clFuchsia = rgb(255, 0, 255);
constexpr TColor clAqua = rgb(0, 255, 255);
constexpr TColor clWhite = rgb(255, 255, 255);
constexpr TColor clBtnFace = rgb(192, 192, 192);  // the classic button face

QColor toQColor(TColor c);
TColor fromQColor(const QColor& c);

enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Clear };
enum class PenMode { Copy, Xor, NotXor, Not };
enum class BrushStyle { Solid, Clear };

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    PenStyle Style = PenStyle::Solid;
    PenMode Mode = PenMode::Copy;
};

struct TBrush {
    TColor Color = clWhite;
    BrushStyle Style = BrushStyle::Solid;
};

struct TFont {
    std::string Name = "Arial";
    int Size = 8;        // points; pixel height as on a 96 dpi desktop
    TColor Color = clBlack;
    bool Bold = false;
    bool Italic = false;
};

struct Point {
    int x = 0;
    int y = 0;
};

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

struct PixelRun;

class Canvas {
public:
    Canvas();
    Canvas(int width, int height, TColor fill = clWhite);
    Canvas(const Canvas& other);
    Canvas& operator=(const Canvas& other);
    ~Canvas();

    void resize(int width, int height, TColor fill = clWhite);
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    // The image as drawn so far. A reference stays valid until the next drawing on this canvas.
    const QImage& image() const {
        finishPainting();
        return image_;
    }
    // Whoever changes the image through this reference may change any part of it.
    QImage& image() {
        finishPainting();
        noteAllDrawn();
        return image_;
    }
    bool isNull() const { return image_.isNull(); }

    TPen Pen;
    TBrush Brush;
    TFont Font;

    Point PenPos() const { return penPos_; }
    void MoveTo(int x, int y) {
        penPos_ = {x, y};
        dashPhase_ = 0;
    }
    void LineTo(int x, int y);  // leaves out the end pixel; the pen moves to (x, y)
    void Polyline(const std::vector<Point>& pts);
    void Polygon(const std::vector<Point>& pts);  // filled with the brush, outlined with the pen
    void Rectangle(int left, int top, int right, int bottom);
    void Ellipse(int left, int top, int right, int bottom);
    void FillRect(const Rect& r);   // brush colour, no outline
    void FrameRect(const Rect& r);  // one-pixel frame in the brush colour
    void TextOut(int x, int y, const std::string& text);  // 8-bit Windows text
    void TextOutW(int x, int y, const QString& text);
    int TextWidth(const std::string& text) const;
    int TextHeight(const std::string& text) const;

    TColor Pixel(int x, int y) const;  // 0xFFFFFFFF outside the canvas
    void SetPixel(int x, int y, TColor c);

    // Copies srcRect of src into dstRect of this canvas (stretching when the sizes differ).
    void CopyRect(const Rect& dst, const Canvas& src, const Rect& srcRect);
    void Draw(int x, int y, const QImage& img);
    void StretchDraw(const Rect& dst, const QImage& img);

    bool savePng(const std::string& path) const;

    // What was drawn since the last call, as rectangles covering it (whole tiles of a coarse grid, so a
    // few more pixels than were touched); empty when nothing was drawn. A widget showing the canvas
    // repaints just these.
    std::vector<Rect> takeDrawnRects();

private:
    // Marks the box (right and bottom left out), widened by margin on each side, as drawn.
    void noteDrawn(int64_t left, int64_t top, int64_t right, int64_t bottom, int margin = 0);
    void noteAllDrawn();
    struct PainterState;
    void paintRuns(const std::vector<PixelRun>& runs, int x, int y, uint32_t colour, PenMode mode = PenMode::Copy);
    void thinLine(int x0, int y0, int x1, int y1);
    void walkThinLine(uint32_t* p, bool xMajor, int sx, int sy, int64_t count, int64_t minor, int64_t rem,
                      int64_t major, int64_t phase, const void* gapTable);
    void fillSpan(uint32_t* row, int from, int to, uint32_t colour, PenMode mode);
    bool clipToImage(Rect& r) const;
    bool nearImage(int left, int top, int right, int bottom) const;
    void takePixels() const;
    uint32_t* row(int y) {
        if (!bits_) takePixels();
        return reinterpret_cast<uint32_t*>(bits_ + stride_ * y);
    }
    bool onImage(int x, int y) const {
        if (!bits_) takePixels();
        return x >= 0 && y >= 0 && x < width_ && y < height_;
    }
    // The painter for what is not drawn pixel by pixel: opened on first use and kept open across a run
    // of drawings; ended whenever the image is handed out, copied from, resized or saved.
    QPainter& painter();
    void usePenAndBrush(bool withPen, bool withBrush, PenMode mode);
    void finishPainting() const;

    QImage image_;
    mutable std::unique_ptr<QPainter> painter_;
    mutable std::unique_ptr<PainterState> painterState_;
    // The image's pixels and size for direct drawing; taken again after the image was handed out.
    mutable uint8_t* bits_ = nullptr;
    mutable qsizetype stride_ = 0;
    mutable int width_ = 0, height_ = 0;
    Point penPos_;
    // Tiles of kDrawnTile x kDrawnTile pixels drawn into since takeDrawnRects; drawnAny_ spares the scan.
    std::vector<uint8_t> drawnTiles_;
    int tileColumns_ = 0, tileRows_ = 0;
    bool drawnAny_ = false;
    int dashPhase_ = 0;  // pixels into the pen's pattern, modulo the common period of every pattern
};

// The pixel height of a point size on a 96 dpi desktop.
int fontPixelHeight(int points);
QFont toQFont(const TFont& f);

}  // namespace vestrel
