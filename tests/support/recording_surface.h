// A surface for tests: records every primitive call with its arguments and the drawing
// state at that moment, draws nothing. Text metrics are fixed (7 px per UTF-8 character,
// 15 px high), so CHW = 7, CHH = 15 and every text position is predictable.
#pragma once
#include "graphics/surface.h"

#include <string>
#include <vector>

namespace velta::test {

struct DrawCall {
    enum class Kind { Segment, Box, FillBox, Circle, LineTo, Pixel, Text, Clear };
    Kind kind = Kind::Segment;
    // Segment, Box, FillBox: (x1,y1)-(x2,y2). LineTo: from (x1,y1) to (x2,y2).
    // Circle: centre (x1,y1), radius r. Pixel and Text: the position in (x1,y1).
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0, r = 0;
    Colour colour = 0;  // the colour argument; the fore colour for Pixel and Text
    std::string text;   // Text only
    LineStyle style = LineStyle::Solid;
    int width = 1;
    bool fillSolid = false;
    Colour fillColour = 0;
};

class RecordingSurface : public Surface {
public:
    void segment(double x1, double y1, double x2, double y2, Colour c) override;
    void box(double x1, double y1, double x2, double y2, Colour c) override;
    void fillBox(double x1, double y1, double x2, double y2, Colour c) override;
    void circle(double x, double y, double r, Colour c) override;
    void lineTo(double x, double y, Colour c) override;
    void pixel(double x, double y) override;
    void text(const std::string& utf8) override;
    double textWidth(const std::string& utf8) override;
    double textHeight(const std::string&) override { return 15; }
    void clear() override;
    void poll() override { ++polls; }

    // The calls of one kind, in order.
    std::vector<DrawCall> of(DrawCall::Kind k) const;
    // The texts drawn, in order.
    std::vector<std::string> texts() const;
    // The first Text call with exactly this text, or nullptr.
    const DrawCall* findText(const std::string& s) const;
    void forget() { calls.clear(); }

    std::vector<DrawCall> calls;
    int polls = 0;

private:
    DrawCall make(DrawCall::Kind k, Colour c) const;
};

}  // namespace velta::test
