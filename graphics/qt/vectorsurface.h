// The canvas as a vector figure. The image surface of the window and of the runner also
// records every primitive drawn since the last clear; the record is replayed on a QPainter
// over an SVG generator or a PDF writer, so the figure holds the same segments, boxes,
// circles and texts (as text) in the same colours as the canvas.
#pragma once
#include "graphics/qt/qimagesurface.h"

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

class QPainter;

namespace velta {

class RecordingImageSurface : public QImageSurface {
public:
    RecordingImageSurface(int width = 800, int height = 600);

    void segment(double x1, double y1, double x2, double y2, Colour c) override;
    void box(double x1, double y1, double x2, double y2, Colour c) override;
    void fillBox(double x1, double y1, double x2, double y2, Colour c) override;
    void circle(double x, double y, double r, Colour c) override;
    void pixel(double x, double y) override;
    void text(const std::string& utf8) override;
    void clear() override;

    // Something was drawn since the surface was made or cleared.
    bool hasPicture() const { return !commands_.empty(); }
    // More primitives than the record keeps were drawn (the vector figure would be partial).
    bool overflowed() const { return overflow_; }
    std::size_t size() const { return commands_.size(); }
    // The texts and the colours of the segments recorded, in drawing order.
    const std::vector<std::string>& texts() const { return texts_; }
    std::vector<Colour> segmentColours() const;

    // Draws the record on p over a width x height device: background, then every primitive.
    void replay(QPainter& p) const;

    // Saves the picture; the format follows the extension (.png, .svg, .pdf). Returns an
    // empty string, or the message why nothing was written.
    QString save(const QString& path) const;
    QString saveSvg(const QString& path) const;
    QString savePdf(const QString& path) const;

    // The record is capped at this many primitives (24 bytes each).
    static constexpr std::size_t kMaxCommands = 8'000'000;

private:
    enum class Kind : std::uint8_t { Segment, Box, FillBox, Circle, Pixel, Text };
    struct Command {
        Kind kind;
        LineStyle style;
        bool fillSolid;
        std::uint8_t width;
        Colour colour;
        Colour fill;       // fill colour of a circle; text index of a text
        float a, b, c, d;  // corners, centre and radius, or position
    };
    void add(Kind k, Colour c, double a, double b, double cc = 0, double d = 0, Colour fill = 0);

    std::vector<Command> commands_;
    std::vector<std::string> texts_;
    Colour cleared_;  // background of the last clear
    bool overflow_ = false;
};

} // namespace velta
