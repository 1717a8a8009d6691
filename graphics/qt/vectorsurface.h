// The canvas as a vector figure. The image surface of the window and of the runner also
// records every primitive drawn since the last clear; the record is replayed on a QPainter
// over an SVG generator or a PDF writer, so the figure holds the same segments, boxes,
// circles and texts (as text) in the same colours as the canvas; the many small steps of a
// curve are kept as the points that trace it within a tenth of a pixel.
#pragma once
#include "graphics/qt/qimagesurface.h"

#include <QString>

#include <cstdint>
#include <string>
#include <unordered_map>
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
    std::size_t size() const { return commands_.size() + steps_.size(); }
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

    // The record is capped at this many primitives (a step that continues a curve takes 12
    // bytes, any other primitive 40).
    static constexpr std::size_t kMaxCommands = 8'000'000;
    // A curve advances by a small fraction of a pixel per step. Its record leaves out the
    // points that a segment between the points it keeps passes within this distance of
    // (pixels), and always keeps the last point: the recorded polyline passes that close to
    // every point and segment drawn on the picture, which no figure shows, with a few
    // points per pixel or per straight stretch instead of thousands.
    static constexpr float kTolerance = 0.1f;

protected:
    // A step of a curve the image leaves out (its pixels are set already) still goes into
    // the record, so the vector figure follows the curve (within kTolerance).
    void recordOnly(double x1, double y1, double x2, double y2, Colour c) override {
        record(x1, y1, x2, y2, c);
    }

private:
    enum class Kind : std::uint8_t { Segment, Box, FillBox, Circle, Pixel, Text };
    struct Command {
        Kind kind;
        LineStyle style;
        bool fillSolid;
        std::uint8_t width;
        Colour colour;
        Colour fill;                // fill colour of a circle; text index of a text; polyline of a segment
        float a, b, c, d;           // corners, centre and radius, or position
        std::uint32_t stepsBefore;  // continuation points recorded before this command
    };
    // A segment that starts at the last point of the open polyline of its pen is kept as
    // its end point alone; the polylines are the ones the replay draws.
    struct Step {
        float x, y;
        std::uint32_t line;
    };
    static constexpr std::uint32_t kNoLine = ~0u;
    struct Open {
        std::uint64_t pen = 0;
        std::uint32_t line = kNoLine;
        float x = 0, y = 0;    // its last point
        float kx = 0, ky = 0;  // its last point kept for good
        // The step holding the last point, which is not kept for good yet: the points left
        // out since the one kept for good are within kTolerance of the segment from that one
        // to it, or (side != 0) all of them lie beyond the same edge of the picture. The next
        // step takes its place while that still holds (kNoLine when there is none).
        std::uint32_t pending = kNoLine;
        std::uint8_t side = 0;  // 1..4: above, below, left of, right of the picture
        // The directions from the kept point whose rays pass within kTolerance of every
        // point left out farther than kTolerance from it (from r counter-clockwise to l),
        // once there is one (cone), and the farthest such point's squared distance.
        bool cone = false;
        float lx = 0, ly = 0, rx = 0, ry = 0, far2 = 0;
    };
    // Whether a segment from the kept point to (x, y) passes within kTolerance of every
    // point left out since; then narrows the directions so that (x, y) may be left out too.
    static bool reaches(const Open& o, float x, float y);
    static void narrow(Open& o, float x, float y);
    // The edge (1..4) both points lie beyond, far enough that a stroke of this pen between
    // them stays off the picture; 0 when there is none.
    int sideOf(float ax, float ay, float bx, float by) const;
    void add(Kind k, Colour c, double a, double b, double cc = 0, double d = 0, Colour fill = 0);
    // The segment clipped to the margin into the record.
    void record(double x1, double y1, double x2, double y2, Colour c);
    // The open polyline of a pen that is not among the eight at hand (record() looks there).
    Open& openLine(std::uint64_t pen);

    std::vector<Command> commands_;
    std::vector<Step> steps_;
    std::vector<std::uint32_t> lineStart_;  // command of each polyline's first segment
    // The open polyline of each pen, as the replay will have them: eight pens at hand, any
    // further ones beside them; a primitive other than a segment closes them all.
    std::vector<Open> open_;
    std::unordered_map<std::uint64_t, Open> openMore_;
    std::vector<std::string> texts_;
    double marginX_, marginY_;  // the far edges of the margin segments are clipped to
    Colour cleared_;            // background of the last clear
    bool overflow_ = false;
};

}  // namespace velta
