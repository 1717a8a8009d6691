#include "support/recording_surface.h"

namespace velta::test {

DrawCall RecordingSurface::make(DrawCall::Kind k, Colour c) const {
    DrawCall d;
    d.kind = k;
    d.colour = c;
    d.style = lineStyle;
    d.width = lineWidth;
    d.fillSolid = fillSolid;
    d.fillColour = fillColour;
    return d;
}

void RecordingSurface::segment(double x1, double y1, double x2, double y2, Colour c) {
    DrawCall d = make(DrawCall::Kind::Segment, c);
    d.x1 = x1;
    d.y1 = y1;
    d.x2 = x2;
    d.y2 = y2;
    calls.push_back(d);
}

void RecordingSurface::box(double x1, double y1, double x2, double y2, Colour c) {
    DrawCall d = make(DrawCall::Kind::Box, c);
    d.x1 = x1;
    d.y1 = y1;
    d.x2 = x2;
    d.y2 = y2;
    calls.push_back(d);
}

void RecordingSurface::fillBox(double x1, double y1, double x2, double y2, Colour c) {
    DrawCall d = make(DrawCall::Kind::FillBox, c);
    d.x1 = x1;
    d.y1 = y1;
    d.x2 = x2;
    d.y2 = y2;
    calls.push_back(d);
}

void RecordingSurface::circle(double x, double y, double r, Colour c) {
    DrawCall d = make(DrawCall::Kind::Circle, c);
    d.x1 = x;
    d.y1 = y;
    d.r = r;
    calls.push_back(d);
}

void RecordingSurface::lineTo(double x, double y, Colour c) {
    DrawCall d = make(DrawCall::Kind::LineTo, c);
    d.x1 = currentX;
    d.y1 = currentY;
    d.x2 = x;
    d.y2 = y;
    calls.push_back(d);
    setCurrent(x, y);
}

void RecordingSurface::pixel(double x, double y) {
    DrawCall d = make(DrawCall::Kind::Pixel, foreColour);
    d.x1 = x;
    d.y1 = y;
    calls.push_back(d);
    setCurrent(x, y);
}

void RecordingSurface::text(const std::string& utf8) {
    DrawCall d = make(DrawCall::Kind::Text, foreColour);
    d.x1 = currentX;
    d.y1 = currentY;
    d.text = utf8;
    calls.push_back(d);
    currentX = 0;
    currentY += textHeight(utf8);
}

double RecordingSurface::textWidth(const std::string& utf8) {
    int chars = 0;
    for (unsigned char ch : utf8)
        if ((ch & 0xC0) != 0x80) ++chars;  // continuation bytes do not start a character
    return 7.0 * chars;
}

void RecordingSurface::clear() { calls.push_back(make(DrawCall::Kind::Clear, background)); }

std::vector<DrawCall> RecordingSurface::of(DrawCall::Kind k) const {
    std::vector<DrawCall> out;
    for (const auto& d : calls)
        if (d.kind == k) out.push_back(d);
    return out;
}

std::vector<std::string> RecordingSurface::texts() const {
    std::vector<std::string> out;
    for (const auto& d : calls)
        if (d.kind == DrawCall::Kind::Text) out.push_back(d.text);
    return out;
}

const DrawCall* RecordingSurface::findText(const std::string& s) const {
    for (const auto& d : calls)
        if (d.kind == DrawCall::Kind::Text && d.text == s) return &d;
    return nullptr;
}

}  // namespace velta::test
