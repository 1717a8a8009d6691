// The drawing surface of the main window's canvas: the primitives every plot is made of.
// Coordinates are client pixels, x to the right, y downwards. Colours are 24-bit with
// red in the low byte (0x00BBGGRR).
#pragma once
#include <cstdint>
#include <string>

namespace velta {

using Colour = std::uint32_t;

// The sixteen colours of the classic palette by index 0..15.
Colour QBColor(int index);

enum class LineStyle { Solid = 0, Dotted = 2 };

// Pixels a surface keeps in memory: rows of 32-bit 0xFFRRGGBB values, stride pixels apart
// (bits is null when the surface has none).
struct RasterView {
    const std::uint32_t* bits = nullptr;
    int width = 0, height = 0;
    long stride = 0;
};

class Surface {
public:
    virtual ~Surface() = default;

    virtual void segment(double x1, double y1, double x2, double y2, Colour c) = 0;
    virtual void box(double x1, double y1, double x2, double y2, Colour c) = 0;
    virtual void fillBox(double x1, double y1, double x2, double y2, Colour c) = 0;
    // Outline in c; filled with fillColour when fillSolid is set.
    virtual void circle(double x, double y, double r, Colour c) = 0;
    // Segment from the current position to (x, y); (x, y) becomes the current position.
    virtual void lineTo(double x, double y, Colour c) = 0;
    // Sets the pixel in the fore colour; (x, y) becomes the current position.
    virtual void pixel(double x, double y) = 0;
    // Text at the current position in the fore colour; then the current position moves
    // to the left edge (x = 0) of the next line.
    virtual void text(const std::string& utf8) = 0;
    virtual double textWidth(const std::string& utf8) = 0;
    virtual double textHeight(const std::string& utf8) = 0;
    // Erases the whole surface to the background colour.
    virtual void clear() = 0;
    // Called by long computations at every step: lets the window repaint and handle
    // events now and then; throws VeltaError when the user stopped the run.
    virtual void poll() {}

    void setCurrent(double x, double y) {
        currentX = x;
        currentY = y;
    }

    // A step of a curve: segment(), left out when it stays in one pixel column and every
    // pixel it would set already has colour c. Curves advance by a fraction of a pixel per
    // step, so most steps end here without a call; the picture is the same either way.
    // A surface that keeps a record of its segments gets the steps left out as recordOnly().
    [[gnu::always_inline]] void curveSegment(double x1, double y1, double x2, double y2, Colour c) {
        if (!setsNothingNew(x1, y1, x2, y2, c)) segment(x1, y1, x2, y2, c);
        else if (keepsRecord_) recordOnly(x1, y1, x2, y2, c);
    }

    double currentX = 0, currentY = 0;
    Colour foreColour = 0;
    Colour fillColour = 0;
    bool fillSolid = false;
    int lineWidth = 1;
    LineStyle lineStyle = LineStyle::Solid;
    Colour background = 0x00FFFFFF;
    // False for a surface that keeps no picture: the curves of a run need not be computed.
    bool keepsPicture = true;

    // A coordinate rounded to its pixel, half away from zero (std::lround) for |v| < 2^31.
    [[gnu::always_inline]] static int roundPixel(double v) {
        const int t = static_cast<int>(v);  // towards zero; v - t is exact
        const double f = v - t;
        return f >= 0.5 ? t + 1 : f <= -0.5 ? t - 1 : t;
    }
    // c as a pixel of the raster view (0xFFRRGGBB).
    [[gnu::always_inline]] static std::uint32_t rasterColour(Colour c) {
        return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
    }

protected:
    // A segment that changes no pixel, for a surface with keepsRecord_ set.
    virtual void recordOnly(double, double, double, double, Colour) {}
    bool keepsRecord_ = false;
    // What the thin solid segments of segment() set: the pixels of the view; kept current
    // by the surface whenever its buffer moves.
    RasterView raster_;

private:
    // Pixel p of a coordinate, false off the range 0..size-1 (and for one that is not a number).
    [[gnu::always_inline]] static bool pixelOf(double v, int size, int& p) {
        // -0.5 and size - 0.5 round to -1 and size (half away from zero).
        if (!(v > -0.5 && v < size - 0.5)) return false;
        const int t = static_cast<int>(v);
        p = v - t >= 0.5 ? t + 1 : t;
        return true;
    }
    // True when the segment lies in one pixel column of the view and every pixel it would
    // set already has colour c, or when it lies wholly above or below the view (a curve
    // off the scale, such as W far from its range, sets no pixel at all).
    [[gnu::always_inline]] bool setsNothingNew(double x1, double y1, double x2, double y2, Colour c) const {
        if (!raster_.bits || lineWidth > 1 || lineStyle != LineStyle::Solid) return false;
        // A segment within the image keeps its start and ends at start + (end - start).
        // Rows -1 and beyond, or height and beyond, at both ends (a pixel clear of the
        // half-pixel rounding): every pixel between them is off the view too.
        const double yEnd = y1 + (y2 - y1);
        if ((y1 <= -1 && yEnd <= -1) || (y1 >= raster_.height && yEnd >= raster_.height)) return true;
        int px, py, qx, qy;
        if (!pixelOf(x1, raster_.width, px) || !pixelOf(x1 + (x2 - x1), raster_.width, qx) || px != qx ||
            !pixelOf(y1, raster_.height, py) || !pixelOf(yEnd, raster_.height, qy))
            return false;
        const std::uint32_t rgb = rasterColour(c);
        const std::uint32_t* column = raster_.bits + px;
        for (int y = py < qy ? py : qy, last = py < qy ? qy : py; y <= last; ++y)
            if (column[y * raster_.stride] != rgb) return false;
        return true;
    }
};

// A surface that draws nothing (benchmarks) with fixed text metrics.
class NullSurface : public Surface {
public:
    NullSurface() { keepsPicture = false; }
    void segment(double, double, double, double, Colour) override {}
    void box(double, double, double, double, Colour) override {}
    void fillBox(double, double, double, double, Colour) override {}
    void circle(double, double, double, Colour) override {}
    void lineTo(double x, double y, Colour) override { setCurrent(x, y); }
    void pixel(double x, double y) override { setCurrent(x, y); }
    void text(const std::string&) override {
        currentX = 0;
        currentY += 15;
    }
    double textWidth(const std::string& s) override;
    double textHeight(const std::string&) override { return 15; }
    void clear() override {}
};

}  // namespace velta
