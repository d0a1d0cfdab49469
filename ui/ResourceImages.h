#pragma once

#include <QIcon>
#include <QPixmap>

namespace relicwright {

// The pictures compiled into the program.
class ResourceImages {
public:
    // The horned skull at 16 to 256 pixels, each size drawn for itself.
    static QIcon programIcon();
    // The title banner for a screen of `devicePixelRatio`: the rendering made for it or the next
    // larger one, with its own ratio set, so that it measures 449 x 54 logical pixels.
    static QPixmap banner(qreal devicePixelRatio = 1.0);
};

} // namespace relicwright
