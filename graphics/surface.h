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

    void setCurrent(double x, double y) { currentX = x; currentY = y; }

    double currentX = 0, currentY = 0;
    Colour foreColour = 0;
    Colour fillColour = 0;
    bool fillSolid = false;
    int lineWidth = 1;
    LineStyle lineStyle = LineStyle::Solid;
    Colour background = 0x00FFFFFF;
};

// A surface that draws nothing (benchmarks) with fixed text metrics.
class NullSurface : public Surface {
public:
    void segment(double, double, double, double, Colour) override {}
    void box(double, double, double, double, Colour) override {}
    void fillBox(double, double, double, double, Colour) override {}
    void circle(double, double, double, Colour) override {}
    void lineTo(double x, double y, Colour) override { setCurrent(x, y); }
    void pixel(double x, double y) override { setCurrent(x, y); }
    void text(const std::string&) override { currentX = 0; currentY += 15; }
    double textWidth(const std::string& s) override;
    double textHeight(const std::string&) override { return 15; }
    void clear() override {}
};

} // namespace velta
