#include "ResourceImages.h"

#include "BannerRenderings.h"

#include <QString>

// The resources live in a static library; registering them by hand keeps the linker from dropping
// them. Q_INIT_RESOURCE must be used outside any namespace.
static void registerRelicwrightResources() {
    Q_INIT_RESOURCE(relicwright);
}

namespace relicwright {

namespace {

void ensureResources() {
    static const bool registered = [] {
        registerRelicwrightResources();
        return true;
    }();
    (void)registered;
}

} // namespace

QIcon ResourceImages::programIcon() {
    ensureResources();
    QIcon icon;
    for (const char* size : {"16", "20", "24", "28", "32", "40", "48", "56", "64", "256"}) {
        icon.addFile(QStringLiteral(":/relicwright/icon-%1.png").arg(QLatin1String(size)));
    }
    return icon;
}

QPixmap ResourceImages::banner(qreal devicePixelRatio) {
    ensureResources();
    const BannerRendering& rendering = bannerRenderingFor(devicePixelRatio);
    QPixmap picture(QStringLiteral(":/relicwright/") + QLatin1String(rendering.file));
    picture.setDevicePixelRatio(rendering.percent / 100.0);
    return picture;
}

} // namespace relicwright
