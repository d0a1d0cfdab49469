#include "BannerRenderings.h"

#include <cmath>

namespace relicwright {

unsigned bannerWidthAt(double scale) {
    return static_cast<unsigned>(std::lround(kBannerWidth * scale));
}

unsigned bannerHeightAt(double scale) {
    return static_cast<unsigned>(std::lround(kBannerHeight * scale));
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
