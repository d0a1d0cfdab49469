#include "BannerRenderings.h"

#include <cmath>

namespace relicwright {

namespace {

// Rounded up, as the renderings are drawn: a part of a pixel is a pixel.
unsigned pixels(double length) {
    return static_cast<unsigned>(std::ceil(length - 1e-6));
}

} // namespace

unsigned bannerWidthAt(double scale) {
    return pixels(kBannerWidth * scale);
}

unsigned bannerHeightAt(double scale) {
    return pixels(kBannerHeight * scale);
}

const BannerRendering& bannerRenderingFor(double scale) {
    const unsigned width = bannerWidthAt(scale);
    for (const BannerRendering& rendering : kBannerRenderings) {
        if (rendering.width >= width) {
            return rendering;
        }
    }
    return kBannerRenderings.back();
}

} // namespace relicwright
