#include "graphics/surface.h"

#include "data/error.h"

#include <array>

namespace velta {

Colour QBColor(int index) {
    // 0x00BBGGRR: black, blue, green, cyan, red, magenta, brown, light grey, dark grey,
    // light blue, light green, light cyan, light red, light magenta, yellow, white.
    static constexpr std::array<Colour, 16> palette = {
        0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
        0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    if (index < 0 || index > 15)
        throw VeltaError("Недопустимый номер цвета: " + std::to_string(index) + " (допустимо 0..15)");
    return palette[static_cast<std::size_t>(index)];
}

double NullSurface::textWidth(const std::string& s) {
    // 7 pixels per character; UTF-8 continuation bytes (10xxxxxx) do not start a character.
    int chars = 0;
    for (unsigned char ch : s)
        if ((ch & 0xC0) != 0x80) ++chars;
    return 7.0 * chars;
}

}  // namespace velta
