#pragma once

#include <array>

namespace relicwright {

// The title banner as every window draws it: 449 x 54 pixels on a screen of 100 %, and a rendering
// of its own for larger screens (resources/render-images), each with the 16 colours of the original.
struct BannerRendering {
    unsigned percent; // the screen scale it is drawn for
    const char* file; // its name in resources/
    unsigned width, height;
};

inline constexpr unsigned kBannerWidth = 449;
inline constexpr unsigned kBannerHeight = 54;

inline constexpr std::array<BannerRendering, 9> kBannerRenderings{{
    {100, "banner.png", 449, 54},
    {125, "banner@1.25x.png", 562, 68},
    {150, "banner@1.5x.png", 674, 81},
    {175, "banner@1.75x.png", 786, 95},
    {200, "banner@2x.png", 898, 108},
    {250, "banner@2.5x.png", 1123, 135},
    {300, "banner@3x.png", 1347, 162},
    {400, "banner@4x.png", 1796, 216},
    {500, "banner@5x.png", 2245, 270},
}};

// The rendering to draw the banner from at `scale` (1.0 for 100 %): the smallest one at least as
// wide as the banner is to be drawn, so that a picture is only ever scaled down, never enlarged;
// past the largest, the largest.
const BannerRendering& bannerRenderingFor(double scale);

// The banner's width and height in pixels at `scale`.
unsigned bannerWidthAt(double scale);
unsigned bannerHeightAt(double scale);

} // namespace relicwright
