// The 16-colour palette and the tints of the fills.
#include "drawing/WallGeometry.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace pendrake {

Rgb PaletteColour(int index)
{
    static constexpr std::array<Rgb, 16> palette = { {
        { 0, 0, 0 },
        { 0, 0, 128 },
        { 0, 128, 0 },
        { 0, 128, 128 },
        { 128, 0, 0 },
        { 128, 0, 128 },
        { 128, 128, 0 },
        { 192, 192, 192 },
        { 128, 128, 128 },
        { 0, 0, 255 },
        { 0, 255, 0 },
        { 0, 255, 255 },
        { 255, 0, 0 },
        { 255, 0, 255 },
        { 255, 255, 0 },
        { 255, 255, 255 },
    } };
    if (index < 0 || index >= int(palette.size()))
        return palette[0];
    return palette[static_cast<size_t>(index)];
}

Rgb Tint(Rgb c, double towardsWhite)
{
    const double t = std::clamp(towardsWhite, 0.0, 1.0);
    auto mix = [t](uint8_t v) { return static_cast<uint8_t>(std::lround(v + (255 - v) * t)); };
    return { mix(c.R), mix(c.G), mix(c.B) };
}

} // namespace pendrake
